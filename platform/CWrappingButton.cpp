#include "CWrappingButton.h"

#include "CFittedFont.h"

#include <QStyleOptionButton>
#include <QStylePainter>

CWrappingButton::CWrappingButton(const QString& strCaption, QWidget* pParent)
    : QPushButton(strCaption, pParent)
{}

int CWrappingButton::CaptionFlags()
{
    return Qt::AlignCenter | Qt::TextWordWrap | Qt::TextShowMnemonic;
}

QRect CWrappingButton::CaptionRect() const
{
    QStyleOptionButton objOption;
    initStyleOption(&objOption);
    // The bevel is two or three pixels wide; the style's padding beyond it is
    // more than a button this small can spare.
    return rect()
        .adjusted(3, 2, -3, -2)
        .intersected(style()->subElementRect(QStyle::SE_PushButtonFocusRect, &objOption, this));
}

QFont CWrappingButton::CaptionFont() const
{
    return FittedFont(font(), CaptionRect(), CaptionFlags(), text());
}

void CWrappingButton::paintEvent(QPaintEvent*)
{
    QStylePainter objPainter(this);
    QStyleOptionButton objOption;
    initStyleOption(&objOption);
    const QString strCaption = objOption.text;
    objOption.text.clear();
    objPainter.drawControl(QStyle::CE_PushButton, objOption);

    int intFlags = CaptionFlags();
    if (!style()->styleHint(QStyle::SH_UnderlineShortcut, &objOption, this))
        intFlags |= Qt::TextHideMnemonic;
    objPainter.setFont(CaptionFont());
    objPainter.drawItemText(CaptionRect(), intFlags, objOption.palette, isEnabled(), strCaption,
                            QPalette::ButtonText);
}
