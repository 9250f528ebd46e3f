#include "CSortedListModel.h"

#include <algorithm>

CSortedListModel::CSortedListModel(QObject* pParent) : QAbstractListModel(pParent) {}

int CSortedListModel::Insert(const QString& strText)
{
    const auto itPlace =
        std::upper_bound(mlstEntries.cbegin(), mlstEntries.cend(), strText, mobjCollation);
    const int intRow = static_cast<int>(itPlace - mlstEntries.cbegin());
    beginInsertRows({}, intRow, intRow);
    mlstEntries.insert(intRow, strText);
    endInsertRows();
    return intRow;
}

void CSortedListModel::RemoveAt(int intRow)
{
    beginRemoveRows({}, intRow, intRow);
    mlstEntries.removeAt(intRow);
    endRemoveRows();
}

int CSortedListModel::rowCount(const QModelIndex& objParent) const
{
    return objParent.isValid() ? 0 : Count();
}

QVariant CSortedListModel::data(const QModelIndex& objIndex, int intRole) const
{
    if (!objIndex.isValid() || objIndex.row() >= Count())
        return {};
    if (intRole == Qt::DisplayRole || intRole == Qt::AccessibleTextRole)
        return mlstEntries.at(objIndex.row());
    return {};
}
