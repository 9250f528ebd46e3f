#pragma once

#include "CCollation.h"

#include <QAbstractListModel>
#include <QList>

// The entries of a sorted list box. An insert costs a binary search and one
// move of the entries after it; nothing is ever re-sorted.
class CSortedListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    explicit CSortedListModel(QObject* pParent = nullptr);

    // Places strText after every entry that sorts before or equal to it, and
    // returns its row.
    int Insert(const QString& strText);
    void RemoveAt(int intRow);
    const QString& At(int intRow) const { return mlstEntries.at(intRow); }
    int Count() const { return static_cast<int>(mlstEntries.size()); }

    int rowCount(const QModelIndex& objParent = {}) const override;
    QVariant data(const QModelIndex& objIndex, int intRole) const override;

private:
    CCollation mobjCollation;
    QList<QString> mlstEntries;
};
