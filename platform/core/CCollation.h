#pragma once

#include <QCollator>
#include <QString>

#include <memory>

struct UCollator;

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

    // As Compare, but only the base letters count: letter case and accents
    // are ignored, digits still compare as numbers. Texts in Compare's order
    // are in this order too, so it can search a sorted list.
    int CompareBase(QStringView strA, QStringView strB) const;
    // Whether the first characters of strText, as many as strPrefix has,
    // equal strPrefix as CompareBase sees them ("c05" starts "C0512").
    bool StartsWith(QStringView strText, QStringView strPrefix) const;

    // The locale that collates: the system's, or English where the system
    // has none (the C/POSIX locale), whose collator would ignore numbers.
    static QLocale CollationLocale(const QLocale& objSystem);

private:
    QCollator mobjCollator;
    std::shared_ptr<UCollator> mpBaseCollator;
};
