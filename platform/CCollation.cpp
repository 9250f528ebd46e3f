#include "CCollation.h"

CCollation::CCollation() : CCollation(QLocale::system()) {}

CCollation::CCollation(const QLocale& objLocale) : mobjCollator(CollationLocale(objLocale))
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
