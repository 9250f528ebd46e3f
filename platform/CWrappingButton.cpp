#include "CWrappingButton.h"

#include <QShortcutEvent>
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
    const int intPadding = qMax(3, fontMetrics().averageCharWidth() / 2);
    return rect()
        .adjusted(intPadding, 2, -intPadding, -2)
        .intersected(style()->subElementRect(QStyle::SE_PushButtonFocusRect, &objOption, this));
}

bool CWrappingButton::event(QEvent* pEvent)
{
    // Qt presses a button on its access key only after a short animation,
    // during which keys typed next would still go to this window.
    if (pEvent->type() == QEvent::Shortcut && isEnabled() &&
        !static_cast<QShortcutEvent*>(pEvent)->isAmbiguous()) {
        if (focusPolicy() & Qt::TabFocus)
            setFocus(Qt::ShortcutFocusReason);
        click();
        return true;
    }
    return QPushButton::event(pEvent);
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
    objPainter.drawItemText(CaptionRect(), intFlags, objOption.palette, isEnabled(), strCaption,
                            QPalette::ButtonText);
}
