#pragma once

#include <QLabel>

// A one-line plain-text label whose caption is drawn a little smaller when it
// would not fit its width at the label's own font, so that it is never clipped.
class CFittingLabel : public QLabel
{
    Q_OBJECT

public:
    explicit CFittingLabel(QWidget* pParent);

    // The font the caption is drawn in.
    QFont CaptionFont() const;
    int CaptionFlags() const;

protected:
    void paintEvent(QPaintEvent* pEvent) override;
};
