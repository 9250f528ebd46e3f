#include "CSortedListModel.h"

#include <algorithm>

namespace {
// A block that fills up splits in two halves; neighbours that fit in half a
// block join, so the blocks stay few however entries come and go.
constexpr qsizetype kBlockFull = 2048;
constexpr qsizetype kBlockHalf = kBlockFull / 2;
} // namespace

CSortedListModel::CSortedListModel(QObject* pParent) : QAbstractListModel(pParent) {}

// The first row for which fnBefore is false; fnBefore must hold for a
// leading run of the rows and for none after it.
template <class Before> int CSortedListModel::firstRowNotBefore(Before fnBefore) const
{
    const auto itBlock = std::partition_point(
        mlstBlocks.cbegin(), mlstBlocks.cend(),
        [&](const QList<QString>& lstBlock) { return fnBefore(lstBlock.back()); });
    if (itBlock == mlstBlocks.cend())
        return mintCount;
    const auto itEntry = std::partition_point(itBlock->cbegin(), itBlock->cend(), fnBefore);
    return mlstFirstRows[size_t(itBlock - mlstBlocks.cbegin())] + int(itEntry - itBlock->cbegin());
}

CSortedListModel::Place CSortedListModel::place(int intRow) const
{
    const auto itFirst = std::upper_bound(mlstFirstRows.cbegin(), mlstFirstRows.cend(), intRow) - 1;
    return {size_t(itFirst - mlstFirstRows.cbegin()), intRow - *itFirst};
}

const QString& CSortedListModel::At(int intRow) const
{
    const Place objPlace = place(intRow);
    return mlstBlocks[objPlace.uBlock].at(objPlace.intOffset);
}

int CSortedListModel::Insert(const QString& strText)
{
    const int intRow = firstRowNotBefore(
        [&](const QString& strEntry) { return mobjCollation.Compare(strEntry, strText) <= 0; });
    beginInsertRows({}, intRow, intRow);
    if (mlstBlocks.empty()) {
        mlstBlocks.emplace_back();
        mlstFirstRows.push_back(0);
    }
    const Place objPlace =
        intRow < mintCount ? place(intRow) : Place{mlstBlocks.size() - 1, mlstBlocks.back().size()};
    QList<QString>& lstBlock = mlstBlocks[objPlace.uBlock];
    lstBlock.insert(objPlace.intOffset, strText);
    for (size_t uBlock = objPlace.uBlock + 1; uBlock < mlstFirstRows.size(); ++uBlock)
        ++mlstFirstRows[uBlock];
    ++mintCount;
    if (lstBlock.size() >= kBlockFull) {
        QList<QString> lstSecondHalf = lstBlock.sliced(kBlockHalf);
        lstBlock.resize(kBlockHalf);
        lstBlock.squeeze();
        const int intSecondRow = mlstFirstRows[objPlace.uBlock] + int(kBlockHalf);
        mlstBlocks.insert(mlstBlocks.begin() + qsizetype(objPlace.uBlock) + 1,
                          std::move(lstSecondHalf));
        mlstFirstRows.insert(mlstFirstRows.begin() + qsizetype(objPlace.uBlock) + 1, intSecondRow);
    }
    endInsertRows();
    return intRow;
}

void CSortedListModel::RemoveAt(int intRow)
{
    beginRemoveRows({}, intRow, intRow);
    const Place objPlace = place(intRow);
    mlstBlocks[objPlace.uBlock].removeAt(objPlace.intOffset);
    for (size_t uBlock = objPlace.uBlock + 1; uBlock < mlstFirstRows.size(); ++uBlock)
        --mlstFirstRows[uBlock];
    --mintCount;
    if (mlstBlocks[objPlace.uBlock].isEmpty()) {
        mlstBlocks.erase(mlstBlocks.begin() + qsizetype(objPlace.uBlock));
        mlstFirstRows.erase(mlstFirstRows.begin() + qsizetype(objPlace.uBlock));
    } else {
        mergeIfSmall(objPlace.uBlock);
        if (objPlace.uBlock > 0)
            mergeIfSmall(objPlace.uBlock - 1);
    }
    endRemoveRows();
}

void CSortedListModel::mergeIfSmall(size_t uFirst)
{
    if (uFirst + 1 >= mlstBlocks.size() ||
        mlstBlocks[uFirst].size() + mlstBlocks[uFirst + 1].size() > kBlockHalf)
        return;
    mlstBlocks[uFirst].append(std::move(mlstBlocks[uFirst + 1]));
    mlstBlocks.erase(mlstBlocks.begin() + qsizetype(uFirst) + 1);
    mlstFirstRows.erase(mlstFirstRows.begin() + qsizetype(uFirst) + 1);
}

int CSortedListModel::FindPrefix(const QString& strPrefix) const
{
    // The entries that start with a text stand together, save where the text
    // ends in a number: the list puts longer numbers further on ("C1" starts
    // C1, then C10 to C19, then C100 to C199...). So a number is looked for
    // at each length in turn, from its smallest ("C1", "C10", "C100"...),
    // until the list has no longer numbers after the same stem.
    qsizetype intStem = strPrefix.size();
    while (intStem > 0 && strPrefix.at(intStem - 1).isDigit())
        --intStem;
    const QStringView strStem = QStringView(strPrefix).first(intStem);
    const bool bNumber = std::any_of(strPrefix.cbegin() + intStem, strPrefix.cend(),
                                     [](QChar chDigit) { return chDigit.digitValue() > 0; });
    QString strProbe = strPrefix;
    for (;;) {
        const int intRow = firstRowNotBefore([&](const QString& strEntry) {
            return mobjCollation.CompareBase(strEntry, strProbe) < 0;
        });
        if (intRow >= mintCount)
            return -1;
        const QString& strEntry = At(intRow);
        if (mobjCollation.StartsWith(strEntry, strPrefix))
            return intRow;
        if (!bNumber || strEntry.size() <= intStem || !strEntry.at(intStem).isDigit() ||
            !mobjCollation.StartsWith(strEntry, strStem))
            return -1;
        strProbe += u'0';
    }
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
        return At(objIndex.row());
    return {};
}
