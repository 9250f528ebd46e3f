#pragma once

#include <QPushButton>

// A push button whose caption wraps onto further lines, and is drawn a little
// smaller when even that would not fit, so that it is never clipped.
class CWrappingButton : public QPushButton
{
    Q_OBJECT

public:
    explicit CWrappingButton(const QString& strCaption, QWidget* pParent);

    // The rectangle the caption is drawn in, and the font that fits it there.
    QRect CaptionRect() const;
    QFont CaptionFont() const;
    static int CaptionFlags();

protected:
    void paintEvent(QPaintEvent* pEvent) override;
};
