#pragma once

#include <QAccessibleWidget>

#include <utility>
#include <vector>

class CListView;

// A list box as a screen reader should find it at any length: a table of one
// column, one row per entry. A screen reader learns the number of entries
// from the table's row count and the entry under the cursor from the focus;
// for a list it would count the entries one by one, and search them one by
// one for the focused one, over the accessibility bus. Entries are made on
// demand and at most KeptEntries of them are alive at a time, however many a
// screen reader visits; every insert or removal lets them all go, so the
// model keeps nothing for them.
// Qt 6.5 and later also offer the selection interface, which a screen reader
// then asks for the selected entry instead of searching for the focused one.
class CListViewAccessible : public QAccessibleWidget,
#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
                            public QAccessibleSelectionInterface,
#endif
                            public QAccessibleTableInterface
{
public:
    static constexpr size_t KeptEntries = 64;

    explicit CListViewAccessible(CListView* pView);
    ~CListViewAccessible() override;
    CListViewAccessible(const CListViewAccessible&) = delete;
    CListViewAccessible& operator=(const CListViewAccessible&) = delete;

    QAccessible::Role role() const override;
    void* interface_cast(QAccessible::InterfaceType enmType) override;
    int childCount() const override;
    QAccessibleInterface* child(int intIndex) const override;
    int indexOfChild(const QAccessibleInterface* pChild) const override;
    QAccessibleInterface* childAt(int intX, int intY) const override;
    QAccessibleInterface* focusChild() const override;

    QAccessibleInterface* caption() const override;
    QAccessibleInterface* summary() const override;
    QAccessibleInterface* cellAt(int intRow, int intColumn) const override;
    int selectedCellCount() const override;
    QList<QAccessibleInterface*> selectedCells() const override;
    QString columnDescription(int intColumn) const override;
    QString rowDescription(int intRow) const override;
    int selectedColumnCount() const override;
    int selectedRowCount() const override;
    int columnCount() const override;
    int rowCount() const override;
    QList<int> selectedColumns() const override;
    QList<int> selectedRows() const override;
    bool isColumnSelected(int intColumn) const override;
    bool isRowSelected(int intRow) const override;
    bool selectRow(int intRow) override;
    bool selectColumn(int intColumn) override;
    bool unselectRow(int intRow) override;
    bool unselectColumn(int intColumn) override;
    void modelChange(QAccessibleTableModelChangeEvent* pEvent) override;

#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
    int selectedItemCount() const override;
    QList<QAccessibleInterface*> selectedItems() const override;
    bool select(QAccessibleInterface* pChild) override;
    bool unselect(QAccessibleInterface* pChild) override;
    bool selectAll() override;
    bool clear() override;
#endif

private:
    CListView& view() const;
    QModelIndex shownIndex(int intRow) const;
    // The entry of a row, the entries past KeptEntries let go.
    QAccessibleInterface* entry(int intRow) const;
    // The entry of a row, kept alive with all the others until the next trim.
    QAccessibleInterface* keep(int intRow) const;
    void trimEntries() const;
    void forgetEntries();

    // Rows and ids of the entries alive, the one used longest ago first.
    mutable std::vector<std::pair<int, QAccessible::Id>> mlstEntries;
};
