#pragma once

#include "CCustomer.h"

#include <KeyedCollection.h>

#include <QHash>
#include <QString>

#include <memory>
#include <ranges>

// The customers the program knows, each kept under its customer ID, in the
// order they were added. An ID must show: a blank one is refused, and so is
// one that looks the same as a stored ID (CVisibleText::Form).
class CCustomers
{
public:
    using Collection = KeyedCollection<std::shared_ptr<CCustomer>>;
    using Enumerator = Collection::Enumerator;

    CCustomers();

    void Add(const QString& strCustomerId, const QString& strLastName, const QString& strFirstName,
             const QString& strAddress, const QString& strCity, const QString& strState,
             const QString& strZipCode);
    void Remove(const QString& strKey);
    std::shared_ptr<CCustomer> Item(const QString& strKey) const
    {
        return mcolCustomers.item(strKey);
    }
    int Count() const noexcept { return mcolCustomers.count(); }
    std::ranges::subrange<Enumerator> NewEnum() const { return {begin(), end()}; }

    Enumerator begin() const noexcept { return mcolCustomers.begin(); }
    Enumerator end() const noexcept { return mcolCustomers.end(); }

private:
    void CheckLooksNew(const QString& strCustomerId, const QString& strForm) const;

    Collection mcolCustomers;
    // The visible form of each stored ID that is not its own form, with
    // that ID. Most IDs are their own form and need no entry.
    QHash<QString, QString> mcolLookAlikes;
};
