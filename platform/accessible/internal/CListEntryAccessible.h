#pragma once

#include <QAccessibleInterface>
#include <QPointer>

class CListView;

// One entry of a list box, as a cell of the list's one-column table. It
// knows its view and its row only: no model index, so the model does nothing
// for it when rows come and go. The list's accessible object makes these on
// demand and deletes them once the rows move or too many are alive.
// Its one action, toggle, selects it or clears its selection, as Qt's own
// table cells do.
class CListEntryAccessible : public QAccessibleInterface,
                             public QAccessibleTableCellInterface,
                             public QAccessibleActionInterface
{
public:
    CListEntryAccessible(CListView* pView, int intRow);

    bool isValid() const override;
    QObject* object() const override;
    QWindow* window() const override;
    QAccessibleInterface* childAt(int intX, int intY) const override;
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int intIndex) const override;
    int childCount() const override;
    int indexOfChild(const QAccessibleInterface* pChild) const override;
    QString text(QAccessible::Text enmText) const override;
    void setText(QAccessible::Text enmText, const QString& strText) override;
    QRect rect() const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType enmType) override;

    bool isSelected() const override;
    QList<QAccessibleInterface*> columnHeaderCells() const override;
    QList<QAccessibleInterface*> rowHeaderCells() const override;
    int columnIndex() const override;
    int rowIndex() const override;
    int columnExtent() const override;
    int rowExtent() const override;
    QAccessibleInterface* table() const override;

    QStringList actionNames() const override;
    void doAction(const QString& strAction) override;
    QStringList keyBindingsForAction(const QString& strAction) const override;

    CListView* View() const { return mpView; }

private:
    QModelIndex index() const;

    QPointer<CListView> mpView;
    int mintRow;
};
