#include "CFittingLabel.h"

#include "CFittedFont.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOption>

CFittingLabel::CFittingLabel(QWidget* pParent) : QLabel(pParent)
{
    setTextFormat(Qt::PlainText);
}

int CFittingLabel::CaptionFlags() const
{
    return int(alignment()) | Qt::TextShowMnemonic | Qt::TextSingleLine;
}

QFont CFittingLabel::CaptionFont() const
{
    return FittedFont(font(), contentsRect(), CaptionFlags(), text());
}

void CFittingLabel::paintEvent(QPaintEvent*)
{
    QPainter objPainter(this);
    QStyleOption objOption;
    objOption.initFrom(this);
    int intFlags = CaptionFlags();
    if (!style()->styleHint(QStyle::SH_UnderlineShortcut, &objOption, this))
        intFlags |= Qt::TextHideMnemonic;
    objPainter.setFont(CaptionFont());
    style()->drawItemText(&objPainter, contentsRect(), intFlags, palette(), isEnabled(), text(),
                          foregroundRole());
}
