#pragma once

#include <QCollator>
#include <QString>

// The order of sorted lists: ascending, locale-aware, letter case ignored,
// digits compared as numbers ("C9" before "C10"). Texts the collator holds
// equal are ordered by their exact characters, so no two different texts
// ever compare equal and the order never depends on insertion history.
class CCollation
{
public:
    CCollation();
    explicit CCollation(const QLocale& objLocale);

    // Negative, zero or positive as strA sorts before, with or after strB.
    int Compare(const QString& strA, const QString& strB) const;
    bool operator()(const QString& strA, const QString& strB) const
    {
        return Compare(strA, strB) < 0;
    }

    // The locale that collates: the system's, or English where the system
    // has none (the C/POSIX locale), whose collator would ignore numbers.
    static QLocale CollationLocale(const QLocale& objSystem);

private:
    QCollator mobjCollator;
};
