#include "CCollation.h"

#include <unicode/ucol.h>

#include <algorithm>

namespace {
// QCollator has no setting that ignores accents, so the base letters are
// compared by the ICU collator that QCollator itself stands on, opened for
// the same locale with the same settings but at primary strength.
std::shared_ptr<UCollator> openBaseCollator(const QLocale& objLocale)
{
    UErrorCode enmStatus = U_ZERO_ERROR;
    const QByteArray strName = objLocale.bcp47Name().replace(u'-', u'_').toLatin1();
    UCollator* pCollator = ucol_open(strName.constData(), &enmStatus);
    if (U_FAILURE(enmStatus)) {
        enmStatus = U_ZERO_ERROR;
        pCollator = ucol_open("", &enmStatus);
    }
    ucol_setAttribute(pCollator, UCOL_NORMALIZATION_MODE, UCOL_ON, &enmStatus);
    ucol_setAttribute(pCollator, UCOL_STRENGTH, UCOL_PRIMARY, &enmStatus);
    ucol_setAttribute(pCollator, UCOL_NUMERIC_COLLATION, UCOL_ON, &enmStatus);
    ucol_setAttribute(pCollator, UCOL_ALTERNATE_HANDLING, UCOL_NON_IGNORABLE, &enmStatus);
    return std::shared_ptr<UCollator>(pCollator, ucol_close);
}
} // namespace

CCollation::CCollation() : CCollation(QLocale::system()) {}

CCollation::CCollation(const QLocale& objLocale)
    : mobjCollator(CollationLocale(objLocale)),
      mpBaseCollator(openBaseCollator(CollationLocale(objLocale)))
{
    mobjCollator.setCaseSensitivity(Qt::CaseInsensitive);
    mobjCollator.setNumericMode(true);
    mobjCollator.setIgnorePunctuation(false);
}

QLocale CCollation::CollationLocale(const QLocale& objSystem)
{
    if (objSystem.language() == QLocale::C)
        return QLocale(QLocale::English, QLocale::UnitedStates);
    return objSystem;
}

int CCollation::Compare(const QString& strA, const QString& strB) const
{
    const int intOrder = mobjCollator.compare(strA, strB);
    if (intOrder != 0)
        return intOrder;
    return strA.compare(strB, Qt::CaseSensitive);
}

int CCollation::CompareBase(QStringView strA, QStringView strB) const
{
    return ucol_strcoll(mpBaseCollator.get(), strA.utf16(), int32_t(strA.size()), strB.utf16(),
                        int32_t(strB.size()));
}

bool CCollation::StartsWith(QStringView strText, QStringView strPrefix) const
{
    return CompareBase(strText.first(std::min(strText.size(), strPrefix.size())), strPrefix) == 0;
}
