#pragma once

#include <QPushButton>

// A push button whose caption wraps onto further lines when it is too long
// for one. Its access key presses it at once, so that the keys typed next
// reach whatever the press opens.
class CWrappingButton : public QPushButton
{
    Q_OBJECT

public:
    explicit CWrappingButton(const QString& strCaption, QWidget* pParent);

    // Whether the caption, wrapped, keeps clear of the bevel by a few pixels.
    bool CaptionFits() const;

protected:
    bool event(QEvent* pEvent) override;
    void paintEvent(QPaintEvent* pEvent) override;

private:
    QRect CaptionRect() const;
    bool CaptionFits(const QFont& objFont) const;
    QFont CaptionFont() const;
};
