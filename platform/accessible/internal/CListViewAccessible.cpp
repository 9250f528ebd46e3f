#include "CListViewAccessible.h"

#include "CListEntryAccessible.h"
#include "CListView.h"

#include <QItemSelectionModel>

#include <algorithm>

CListViewAccessible::CListViewAccessible(CListView* pView)
    : QAccessibleWidget(pView, QAccessible::Table)
{}

CListViewAccessible::~CListViewAccessible()
{
    forgetEntries();
}

CListView& CListViewAccessible::view() const
{
    return *static_cast<CListView*>(widget());
}

// The index the view shows for a row: its column is the view's, which need
// not be the model's first.
QModelIndex CListViewAccessible::shownIndex(int intRow) const
{
    return view().model()->index(intRow, view().modelColumn(), view().rootIndex());
}

QAccessible::Role CListViewAccessible::role() const
{
    return QAccessible::Table;
}

void* CListViewAccessible::interface_cast(QAccessible::InterfaceType enmType)
{
    if (enmType == QAccessible::TableInterface)
        return static_cast<QAccessibleTableInterface*>(this);
#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
    if (enmType == QAccessible::SelectionInterface)
        return static_cast<QAccessibleSelectionInterface*>(this);
#endif
    return QAccessibleWidget::interface_cast(enmType);
}

QAccessibleInterface* CListViewAccessible::entry(int intRow) const
{
    QAccessibleInterface* pEntry = keep(intRow);
    trimEntries();
    return pEntry;
}

QAccessibleInterface* CListViewAccessible::keep(int intRow) const
{
    if (intRow < 0 || intRow >= rowCount())
        return nullptr;
    const auto itKept =
        std::find_if(mlstEntries.begin(), mlstEntries.end(),
                     [intRow](const auto& objKept) { return objKept.first == intRow; });
    if (itKept != mlstEntries.end()) {
        const auto objKept = *itKept;
        mlstEntries.erase(itKept);
        mlstEntries.push_back(objKept);
        return QAccessible::accessibleInterface(objKept.second);
    }
    auto* pEntry = new CListEntryAccessible(&view(), intRow);
    mlstEntries.emplace_back(intRow, QAccessible::registerAccessibleInterface(pEntry));
    return pEntry;
}

void CListViewAccessible::trimEntries() const
{
    while (mlstEntries.size() > KeptEntries) {
        const QAccessible::Id intOldest = mlstEntries.front().second;
        mlstEntries.erase(mlstEntries.begin());
        QAccessible::deleteAccessibleInterface(intOldest);
    }
}

void CListViewAccessible::forgetEntries()
{
    // Ids go before the interfaces, so that none is looked up half deleted.
    const auto lstEntries = std::exchange(mlstEntries, {});
    for (const auto& objKept : lstEntries)
        QAccessible::deleteAccessibleInterface(objKept.second);
}

int CListViewAccessible::childCount() const
{
    return rowCount();
}

QAccessibleInterface* CListViewAccessible::child(int intIndex) const
{
    return entry(intIndex);
}

int CListViewAccessible::indexOfChild(const QAccessibleInterface* pChild) const
{
    const auto* pEntry = dynamic_cast<const CListEntryAccessible*>(pChild);
    if (!pEntry || pEntry->View() != &view() || !pEntry->isValid())
        return -1;
    return pEntry->rowIndex();
}

QAccessibleInterface* CListViewAccessible::childAt(int intX, int intY) const
{
    const QPoint ptViewport = view().viewport()->mapFromGlobal(QPoint(intX, intY));
    return entry(view().indexAt(ptViewport).row());
}

QAccessibleInterface* CListViewAccessible::focusChild() const
{
    if (!view().hasFocus())
        return nullptr;
    return entry(view().currentIndex().row());
}

QAccessibleInterface* CListViewAccessible::caption() const
{
    return nullptr;
}

QAccessibleInterface* CListViewAccessible::summary() const
{
    return nullptr;
}

QAccessibleInterface* CListViewAccessible::cellAt(int intRow, int intColumn) const
{
    return intColumn == 0 ? entry(intRow) : nullptr;
}

int CListViewAccessible::selectedCellCount() const
{
    return selectedRowCount();
}

QList<QAccessibleInterface*> CListViewAccessible::selectedCells() const
{
    // Every cell handed out stays alive until the next question, however many
    // are selected: the entries past the limit go at the next one.
    QList<QAccessibleInterface*> lstCells;
    for (const int intRow : selectedRows())
        lstCells << keep(intRow);
    return lstCells;
}

QString CListViewAccessible::columnDescription(int) const
{
    return {};
}

QString CListViewAccessible::rowDescription(int) const
{
    return {};
}

int CListViewAccessible::selectedColumnCount() const
{
    return 0;
}

int CListViewAccessible::selectedRowCount() const
{
    return int(selectedRows().size());
}

int CListViewAccessible::columnCount() const
{
    return 1;
}

int CListViewAccessible::rowCount() const
{
    const QAbstractItemModel* pModel = view().model();
    return pModel ? pModel->rowCount(view().rootIndex()) : 0;
}

QList<int> CListViewAccessible::selectedColumns() const
{
    return {};
}

QList<int> CListViewAccessible::selectedRows() const
{
    // From the selection's ranges: the list selects one entry at a time, and
    // a range never lists its rows one by one.
    QList<int> lstRows;
    const QItemSelectionModel* pSelection = view().selectionModel();
    if (!pSelection)
        return lstRows;
    for (const QItemSelectionRange& objRange : pSelection->selection()) {
        for (int intRow = objRange.top(); intRow <= objRange.bottom(); ++intRow)
            lstRows << intRow;
    }
    return lstRows;
}

bool CListViewAccessible::isColumnSelected(int) const
{
    return false;
}

bool CListViewAccessible::isRowSelected(int intRow) const
{
    const QItemSelectionModel* pSelection = view().selectionModel();
    return pSelection && intRow >= 0 && intRow < rowCount() &&
           pSelection->isSelected(shownIndex(intRow));
}

bool CListViewAccessible::selectRow(int intRow)
{
    if (intRow < 0 || intRow >= rowCount())
        return false;
    view().SelectRow(intRow);
    return true;
}

bool CListViewAccessible::selectColumn(int)
{
    return false;
}

bool CListViewAccessible::unselectRow(int intRow)
{
    if (!isRowSelected(intRow))
        return false;
    view().selectionModel()->select(shownIndex(intRow), QItemSelectionModel::Deselect);
    return true;
}

bool CListViewAccessible::unselectColumn(int)
{
    return false;
}

void CListViewAccessible::modelChange(QAccessibleTableModelChangeEvent*)
{
    // Rows have moved: an entry kept by its row would now name another.
    forgetEntries();
}

#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
int CListViewAccessible::selectedItemCount() const
{
    return selectedRowCount();
}

QList<QAccessibleInterface*> CListViewAccessible::selectedItems() const
{
    return selectedCells();
}

bool CListViewAccessible::select(QAccessibleInterface* pChild)
{
    return selectRow(indexOfChild(pChild));
}

bool CListViewAccessible::unselect(QAccessibleInterface* pChild)
{
    return unselectRow(indexOfChild(pChild));
}

bool CListViewAccessible::selectAll()
{
    // One entry at a time.
    return false;
}

bool CListViewAccessible::clear()
{
    if (!view().selectionModel())
        return false;
    view().selectionModel()->clearSelection();
    return true;
}
#endif
