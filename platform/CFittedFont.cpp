#include "CFittedFont.h"

#include <QFontMetrics>

namespace {
constexpr qreal SmallestPoints = 6.0;
}

QFont FittedFont(const QFont& objFont, const QRect& rctSpace, int intFlags, const QString& strText)
{
    QFont objFitted = objFont;
    while (objFitted.pointSizeF() > SmallestPoints) {
        const QRect rctNeeded = QFontMetrics(objFitted).boundingRect(rctSpace, intFlags, strText);
        if (rctNeeded.width() <= rctSpace.width() && rctNeeded.height() <= rctSpace.height())
            break;
        objFitted.setPointSizeF(objFitted.pointSizeF() - 0.5);
    }
    return objFitted;
}
