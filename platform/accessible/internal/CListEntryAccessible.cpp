#include "CListEntryAccessible.h"

#include "CListView.h"

#include <QItemSelectionModel>

CListEntryAccessible::CListEntryAccessible(CListView* pView, int intRow)
    : mpView(pView), mintRow(intRow)
{}

QModelIndex CListEntryAccessible::index() const
{
    if (!mpView || !mpView->model())
        return {};
    return mpView->model()->index(mintRow, mpView->modelColumn(), mpView->rootIndex());
}

bool CListEntryAccessible::isValid() const
{
    return index().isValid();
}

QObject* CListEntryAccessible::object() const
{
    return nullptr;
}

QWindow* CListEntryAccessible::window() const
{
    return mpView ? mpView->window()->windowHandle() : nullptr;
}

QAccessibleInterface* CListEntryAccessible::childAt(int, int) const
{
    return nullptr;
}

QAccessibleInterface* CListEntryAccessible::parent() const
{
    return QAccessible::queryAccessibleInterface(mpView.data());
}

QAccessibleInterface* CListEntryAccessible::child(int) const
{
    return nullptr;
}

int CListEntryAccessible::childCount() const
{
    return 0;
}

int CListEntryAccessible::indexOfChild(const QAccessibleInterface*) const
{
    return -1;
}

QString CListEntryAccessible::text(QAccessible::Text enmText) const
{
    const QModelIndex objIndex = index();
    if (enmText != QAccessible::Name || !objIndex.isValid())
        return {};
    const QString strSpoken = objIndex.data(Qt::AccessibleTextRole).toString();
    return strSpoken.isEmpty() ? objIndex.data(Qt::DisplayRole).toString() : strSpoken;
}

void CListEntryAccessible::setText(QAccessible::Text, const QString&) {}

QRect CListEntryAccessible::rect() const
{
    const QModelIndex objIndex = index();
    if (!objIndex.isValid())
        return {};
    const QRect rctRow = mpView->visualRect(objIndex);
    return rctRow.translated(mpView->viewport()->mapToGlobal(QPoint(0, 0)));
}

QAccessible::Role CListEntryAccessible::role() const
{
    return QAccessible::Cell;
}

QAccessible::State CListEntryAccessible::state() const
{
    QAccessible::State objState;
    const QModelIndex objIndex = index();
    if (!objIndex.isValid()) {
        objState.invalid = true;
        return objState;
    }
    objState.selectable = true;
    objState.focusable = true;
    objState.selected = isSelected();
    objState.focused = mpView->hasFocus() && mpView->currentIndex() == objIndex;
    if (!mpView->visualRect(objIndex).intersects(mpView->viewport()->rect()))
        objState.invisible = objState.offscreen = true;
    return objState;
}

void* CListEntryAccessible::interface_cast(QAccessible::InterfaceType enmType)
{
    if (enmType == QAccessible::TableCellInterface)
        return static_cast<QAccessibleTableCellInterface*>(this);
    if (enmType == QAccessible::ActionInterface)
        return static_cast<QAccessibleActionInterface*>(this);
    return nullptr;
}

bool CListEntryAccessible::isSelected() const
{
    const QModelIndex objIndex = index();
    return objIndex.isValid() && mpView->selectionModel() &&
           mpView->selectionModel()->isSelected(objIndex);
}

QList<QAccessibleInterface*> CListEntryAccessible::columnHeaderCells() const
{
    return {};
}

QList<QAccessibleInterface*> CListEntryAccessible::rowHeaderCells() const
{
    return {};
}

int CListEntryAccessible::columnIndex() const
{
    return 0;
}

int CListEntryAccessible::rowIndex() const
{
    return mintRow;
}

int CListEntryAccessible::columnExtent() const
{
    return 1;
}

int CListEntryAccessible::rowExtent() const
{
    return 1;
}

QAccessibleInterface* CListEntryAccessible::table() const
{
    return parent();
}

QStringList CListEntryAccessible::actionNames() const
{
    return isValid() ? QStringList{toggleAction()} : QStringList();
}

void CListEntryAccessible::doAction(const QString& strAction)
{
    QAccessibleInterface* pTable = table();
    if (strAction != toggleAction() || !isValid() || !pTable || !pTable->tableInterface())
        return;
    if (isSelected())
        pTable->tableInterface()->unselectRow(mintRow);
    else
        pTable->tableInterface()->selectRow(mintRow);
}

QStringList CListEntryAccessible::keyBindingsForAction(const QString&) const
{
    return {};
}
