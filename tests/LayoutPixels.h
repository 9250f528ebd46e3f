#pragma once

// The pixel rectangles of the layout tables, from the table the Qt tests
// share with the end-to-end tests (layout-pixels.txt).
#include <QFile>
#include <QRect>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTest>

// Where the layout table of strForm puts strControl ("window": the window's
// client area), in pixels at 96 dpi, relative to its parent.
inline QRect layoutPixels(const QString& strForm, const QString& strControl)
{
    QFile objTable(QFINDTESTDATA("layout-pixels.txt"));
    if (!objTable.open(QIODevice::ReadOnly | QIODevice::Text))
        qFatal("layout-pixels.txt cannot be read");
    static const QRegularExpression objSpaces(QStringLiteral("\\s+"));
    while (!objTable.atEnd()) {
        const QStringList lstFields =
            QString::fromUtf8(objTable.readLine()).split(objSpaces, Qt::SkipEmptyParts);
        if (lstFields.size() == 7 && lstFields[0] == strForm && lstFields[1] == strControl)
            return {lstFields[3].toInt(), lstFields[4].toInt(), lstFields[5].toInt(),
                    lstFields[6].toInt()};
    }
    qFatal("layout-pixels.txt has no %s %s", qPrintable(strForm), qPrintable(strControl));
}
