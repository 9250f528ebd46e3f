#pragma once

#include <QFont>
#include <QRect>
#include <QString>

// objFont, or the largest smaller size of it (down to 6 pt) in which strText,
// drawn with intFlags, fits within rctSpace: captions are made smaller rather
// than ever clipped.
QFont FittedFont(const QFont& objFont, const QRect& rctSpace, int intFlags, const QString& strText);
