#include "CFontFitting.h"

#include "CWrappingButton.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>
#include <cmath>

namespace {
constexpr qreal DesignPoints = 8.0;
constexpr qreal DesktopDesignPoints = 9.0;
constexpr qreal GrowthStep = 1.05;
constexpr int MaxGrowthSteps = 40;

QFont formFont(qreal dblPoints, bool bBold)
{
    QFont objFont;
    objFont.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                         QStringLiteral("Arial"), QStringLiteral("Helvetica")});
    objFont.setStyleHint(QFont::SansSerif);
    objFont.setPointSizeF(dblPoints);
    objFont.setBold(bBold);
    return objFont;
}

qreal desktopScale()
{
    const QFont objDesktop = QApplication::font();
    const qreal dblPoints = objDesktop.pointSizeF() > 0 ? objDesktop.pointSizeF()
                                                        : objDesktop.pixelSize() * 72.0 / 96.0;
    return std::max<qreal>(1.0, dblPoints / DesktopDesignPoints);
}

int scaled(int intTwips, qreal dblScale)
{
    return int(std::lround(intTwips * dblScale / TwipsPerPixel));
}

void applyScale(const FormLayout& objLayout, std::span<const CFontFitting::Placed> lstControls,
                QWidget& objWindow, qreal dblScale)
{
    objWindow.setFixedSize(scaled(objLayout.intWidth, dblScale),
                           scaled(objLayout.intHeight, dblScale));
    objWindow.setFont(formFont(DesignPoints * dblScale, false));
    for (const auto& [pLayout, pWidget] : lstControls) {
        pWidget->setGeometry(scaled(pLayout->intLeft, dblScale), scaled(pLayout->intTop, dblScale),
                             scaled(pLayout->intWidth, dblScale),
                             scaled(pLayout->intHeight, dblScale));
        if (pLayout->intFontPoints != 0)
            pWidget->setFont(formFont(pLayout->intFontPoints * dblScale, pLayout->uFlags & Bold));
    }
}

bool fits(const QWidget& objWidget)
{
    const QFontMetrics objMetrics(objWidget.font());
    if (const auto* pButton = qobject_cast<const CWrappingButton*>(&objWidget))
        return pButton->CaptionFits();
    if (const auto* pLabel = qobject_cast<const QLabel*>(&objWidget)) {
        const QRect rctNeeded = objMetrics.boundingRect(
            QRect(), Qt::TextShowMnemonic | Qt::TextSingleLine, pLabel->text());
        return rctNeeded.width() <= pLabel->contentsRect().width() &&
               objMetrics.height() <= pLabel->contentsRect().height();
    }
    if (const auto* pFrame = qobject_cast<const QGroupBox*>(&objWidget))
        return objMetrics.horizontalAdvance(pFrame->title()) + objMetrics.height() <=
               pFrame->width();
    if (const auto* pEdit = qobject_cast<const QLineEdit*>(&objWidget))
        return pEdit->minimumSizeHint().height() <= pEdit->height();
    return true;
}
} // namespace

qreal CFontFitting::Fit(const FormLayout& objLayout, std::span<const Placed> lstControls,
                        QWidget& objWindow)
{
    qreal dblScale = desktopScale();
    for (int i = 0; i < MaxGrowthSteps; ++i) {
        applyScale(objLayout, lstControls, objWindow, dblScale);
        if (std::all_of(
                lstControls.begin(), lstControls.end(),
                [](const CFontFitting::Placed& objControl) { return fits(*objControl.pWidget); }))
            break;
        dblScale *= GrowthStep;
    }
    return dblScale;
}
