#pragma once

#include "CCollation.h"

#include <QAbstractListModel>
#include <QList>

#include <vector>

// The entries of a sorted list box. They are kept in blocks of at most a few
// thousand, so an insert or a removal moves only the entries of one block and
// renumbers the blocks after it, whatever the length of the list; nothing is
// ever re-sorted.
class CSortedListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    explicit CSortedListModel(QObject* pParent = nullptr);

    // Places strText after every entry that sorts before or equal to it, and
    // returns its row.
    int Insert(const QString& strText);
    void RemoveAt(int intRow);
    const QString& At(int intRow) const;
    int Count() const { return mintCount; }

    // The first row whose entry starts with strPrefix, letter case and
    // accents ignored as the list's order ignores them (CCollation::StartsWith);
    // -1 if there is none. A binary search or a few.
    int FindPrefix(const QString& strPrefix) const;

    int rowCount(const QModelIndex& objParent = {}) const override;
    QVariant data(const QModelIndex& objIndex, int intRole) const override;

private:
    struct Place
    {
        size_t uBlock;
        qsizetype intOffset;
    };
    template <class Before> int firstRowNotBefore(Before fnBefore) const;
    Place place(int intRow) const;
    void mergeIfSmall(size_t uFirst);

    CCollation mobjCollation;
    std::vector<QList<QString>> mlstBlocks;
    std::vector<int> mlstFirstRows; // the row of each block's first entry
    int mintCount = 0;
};
