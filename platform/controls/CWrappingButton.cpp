#include "CWrappingButton.h"

#include <QPointer>
#include <QShortcutEvent>
#include <QStyleOptionButton>
#include <QStylePainter>

CWrappingButton::CWrappingButton(const QString& strCaption, QWidget* pParent)
    : QPushButton(strCaption, pParent)
{}

namespace {
constexpr int CaptionFlags = Qt::AlignCenter | Qt::TextWordWrap | Qt::TextShowMnemonic;
// How much tighter than the font's own a caption may be set, in percent of
// its letters' advances: a long word of a small button keeps clear of the
// bevel, and no one sees the difference.
constexpr int MinLetterSpacing = 95;
} // namespace

QRect CWrappingButton::CaptionRect() const
{
    QStyleOptionButton objOption;
    initStyleOption(&objOption);
    // A few pixels clear of the bevel, more for a larger font; the style's
    // padding is more than a button this small can spare.
    const int intPadding = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &objOption, this) +
                           qMax(3, fontMetrics().averageCharWidth() / 2);
    return rect()
        .adjusted(intPadding, 2, -intPadding, -2)
        .intersected(style()->subElementRect(QStyle::SE_PushButtonFocusRect, &objOption, this));
}

bool CWrappingButton::CaptionFits(const QFont& objFont) const
{
    const QRect rctSpace = CaptionRect();
    const QRect rctNeeded = QFontMetrics(objFont).boundingRect(rctSpace, CaptionFlags, text());
    return rctNeeded.width() <= rctSpace.width() && rctNeeded.height() <= rctSpace.height();
}

QFont CWrappingButton::CaptionFont() const
{
    QFont objFont = font();
    for (int intSpacing = 99; intSpacing >= MinLetterSpacing && !CaptionFits(objFont); --intSpacing)
        objFont.setLetterSpacing(QFont::PercentageSpacing, intSpacing);
    return objFont;
}

bool CWrappingButton::CaptionFits() const
{
    return CaptionFits(CaptionFont());
}

bool CWrappingButton::event(QEvent* pEvent)
{
    // Qt presses a button on its access key only after a short animation,
    // during which keys typed next would still go to this window.
    if (pEvent->type() == QEvent::Shortcut && isEnabled() &&
        !static_cast<QShortcutEvent*>(pEvent)->isAmbiguous()) {
        // Pressed before it takes the focus: a press that opens a modal window
        // would otherwise tell screen readers of a focus in the window beneath
        // just as the modal window opens, and Orca reads that late, as the
        // window beneath coming back. The focus comes to it once back here.
        const QPointer<CWrappingButton> pThis = this;
        click();
        if (pThis && (focusPolicy() & Qt::TabFocus) && isVisible() && isEnabled())
            setFocus(Qt::ShortcutFocusReason);
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

    int intFlags = CaptionFlags;
    if (!style()->styleHint(QStyle::SH_UnderlineShortcut, &objOption, this))
        intFlags |= Qt::TextHideMnemonic;
    objPainter.setFont(CaptionFont());
    objPainter.drawItemText(CaptionRect(), intFlags, objOption.palette, isEnabled(), strCaption,
                            QPalette::ButtonText);
}
