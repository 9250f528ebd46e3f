#include "CVisibleText.h"

namespace {
// Calls fnVisit(code point, its UTF-16 units) for each character of strText.
template <class F> void forEachCharacter(QStringView strText, F fnVisit)
{
    for (qsizetype i = 0; i < strText.size();) {
        const QChar chUnit = strText[i];
        const qsizetype intUnits =
            chUnit.isHighSurrogate() && i + 1 < strText.size() && strText[i + 1].isLowSurrogate()
                ? 2
                : 1;
        const char32_t ucsChar =
            intUnits == 2 ? QChar::surrogateToUcs4(chUnit, strText[i + 1]) : chUnit.unicode();
        fnVisit(ucsChar, strText.mid(i, intUnits));
        i += intUnits;
    }
}

bool isInvisible(char32_t ucsChar)
{
    return QChar::category(ucsChar) == QChar::Other_Format;
}

// Whether strText is printable ASCII with single spaces inside, the form
// of most IDs, which is its own visible form.
bool isPlainForm(QStringView strText)
{
    const qsizetype intLast = strText.size() - 1;
    for (qsizetype i = 0; i <= intLast; ++i) {
        const char16_t chUnit = strText[i].unicode();
        if (chUnit == u' ') {
            if (i == 0 || i == intLast || strText[i - 1] == u' ')
                return false;
        } else if (chUnit < 0x21 || chUnit > 0x7e) {
            return false;
        }
    }
    return true;
}

// strText with what would not show, or would show as an ordinary space,
// written as a visible mark.
QString marked(QStringView strText)
{
    QString strMarked;
    strMarked.reserve(strText.size());
    forEachCharacter(strText, [&](char32_t ucsChar, QStringView strUnits) {
        if (ucsChar < 0x20)
            strMarked += QChar(char16_t(0x2400 + ucsChar)); // control pictures: ␀ ␉ ␊ ...
        else if (ucsChar == 0x7f)
            strMarked += QChar(char16_t(0x2421)); // ␡
        else if (ucsChar != u' ' && (QChar::isSpace(ucsChar) || isInvisible(ucsChar) ||
                                     QChar::category(ucsChar) == QChar::Other_Control))
            strMarked +=
                QStringLiteral("<U+%1>").arg(uint(ucsChar), 4, 16, QLatin1Char('0')).toUpper();
        else
            strMarked += strUnits;
    });
    return strMarked;
}
} // namespace

QString CVisibleText::Form(const QString& strText)
{
    if (isPlainForm(strText))
        return strText;
    QString strForm;
    strForm.reserve(strText.size());
    bool bSpaceDue = false;
    forEachCharacter(strText, [&](char32_t ucsChar, QStringView strUnits) {
        if (QChar::isSpace(ucsChar)) {
            bSpaceDue = !strForm.isEmpty();
        } else if (!isInvisible(ucsChar)) {
            if (bSpaceDue)
                strForm += u' ';
            bSpaceDue = false;
            strForm += strUnits;
        }
    });
    return strForm.normalized(QString::NormalizationForm_C);
}

bool CVisibleText::IsOwnForm(const QString& strText)
{
    return isPlainForm(strText) || Form(strText) == strText;
}

QString CVisibleText::Marked(const QString& strText)
{
    return marked(strText);
}

QString CVisibleText::Quoted(const QString& strText, qsizetype intLongest)
{
    if (strText.size() <= intLongest)
        return marked(strText);
    // Each end keeps a little less than half, room for the ellipsis and
    // for marks.
    const qsizetype intEnd = qMax<qsizetype>((intLongest - 8) / 2, 1);
    QStringView strHead = QStringView(strText).left(intEnd);
    if (strHead.back().isHighSurrogate())
        strHead.chop(1);
    QStringView strTail = QStringView(strText).right(intEnd);
    // The tail starts with a whole character, not half of one or an accent
    // that would sit on the ellipsis.
    while (!strTail.isEmpty() && (strTail.front().isLowSurrogate() || strTail.front().isMark()))
        strTail = strTail.mid(1);
    return marked(strHead) + QChar(0x2026) + marked(strTail);
}
