#include <CAccessibleFactory.h>
#include <CListView.h>
#include <CListViewAccessible.h>
#include <CSortedListModel.h>

#include <QAccessible>
#include <QApplication>
#include <QStandardItemModel>
#include <QTest>

#include <memory>

namespace {
// Row i holds entry(i).
QString entry(int intRow)
{
    return QStringLiteral("C%1").arg(intRow, 7, 10, QChar(u'0'));
}

// A list box of intCount entries in a shown window, and its accessible object.
struct List
{
    explicit List(int intCount)
    {
        pView = new CListView(pWindow.get());
        pView->setAccessibleName(QStringLiteral("Customer List"));
        pView->setGeometry(0, 0, 100, 100);
        pModel = new CSortedListModel(pView);
        for (int i = 0; i < intCount; ++i)
            pModel->Insert(entry(i));
        pView->setModel(pModel);
        pInterface = QAccessible::queryAccessibleInterface(pView);
    }

    // Shows column intColumn of a model of two, the same entries in each.
    void ShowColumn(int intColumn)
    {
        auto* pTwoColumns = new QStandardItemModel(pModel->rowCount(), 2, pView);
        for (int intRow = 0; intRow < pModel->rowCount(); ++intRow) {
            for (int intEach = 0; intEach < 2; ++intEach)
                pTwoColumns->setItem(intRow, intEach, new QStandardItem(pModel->At(intRow)));
        }
        pView->setModel(pTwoColumns);
        pView->setModelColumn(intColumn);
    }

    QAccessibleTableInterface& table() const { return *pInterface->tableInterface(); }

    std::unique_ptr<QWidget> pWindow = std::make_unique<QWidget>();
    CListView* pView = nullptr;
    CSortedListModel* pModel = nullptr;
    QAccessibleInterface* pInterface = nullptr;
};
} // namespace

class tst_CListViewAccessible : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void isAOneColumnTableOfTheEntries_data();
    void isAOneColumnTableOfTheEntries();
    void entryUnderTheCursorHasTheFocus_data();
    void entryUnderTheCursorHasTheFocus();
    void entriesVisitedAreNotKeptAlive();
    void entriesAreLetGoWhenRowsMove_data();
    void entriesAreLetGoWhenRowsMove();
    void selectedCellsStayAliveHoweverManyAreSelected_data();
    void selectedCellsStayAliveHoweverManyAreSelected();
    void entryTogglesItsSelection_data();
    void entryTogglesItsSelection();
};

void tst_CListViewAccessible::initTestCase()
{
    CAccessibleFactory::Install();
}

void tst_CListViewAccessible::isAOneColumnTableOfTheEntries_data()
{
    QTest::addColumn<int>("intCount");
    QTest::newRow("empty") << 0;
    QTest::newRow("one entry") << 1;
    QTest::newRow("a hundred thousand entries") << 100'000;
}

void tst_CListViewAccessible::isAOneColumnTableOfTheEntries()
{
    QFETCH(int, intCount);
    const List objList(intCount);
    QAccessibleInterface& objInterface = *objList.pInterface;
    QCOMPARE(objInterface.role(), QAccessible::Table);
    QCOMPARE(objInterface.text(QAccessible::Name), QStringLiteral("Customer List"));
    QCOMPARE(objInterface.childCount(), intCount);
    QCOMPARE(objList.table().rowCount(), intCount);
    QCOMPARE(objList.table().columnCount(), 1);
    QCOMPARE(objInterface.child(intCount), nullptr);
    QCOMPARE(objList.table().cellAt(0, 1), nullptr);
    if (intCount == 0)
        return;
    for (const int intRow : {0, intCount / 2, intCount - 1}) {
        QAccessibleInterface* pEntry = objInterface.child(intRow);
        QVERIFY(pEntry);
        QCOMPARE(pEntry->role(), QAccessible::Cell);
        QCOMPARE(pEntry->text(QAccessible::Name), entry(intRow));
        QCOMPARE(pEntry->parent(), &objInterface);
        QCOMPARE(objInterface.indexOfChild(pEntry), intRow);
        QCOMPARE(pEntry->tableCellInterface()->rowIndex(), intRow);
        QCOMPARE(objList.table().cellAt(intRow, 0), pEntry);
    }
}

void tst_CListViewAccessible::entryUnderTheCursorHasTheFocus_data()
{
    QTest::addColumn<int>("intRow"); // -1: none selected
    QTest::addColumn<bool>("bByScreenReader");
    QTest::newRow("none selected") << -1 << false;
    QTest::newRow("first, by key") << 0 << false;
    QTest::newRow("middle, by key") << 500 << false;
    QTest::newRow("last, by key") << 999 << false;
    QTest::newRow("middle, by the screen reader") << 500 << true;
    QTest::newRow("last, by the screen reader") << 999 << true;
}

void tst_CListViewAccessible::entryUnderTheCursorHasTheFocus()
{
    QFETCH(int, intRow);
    QFETCH(bool, bByScreenReader);
    // GIVEN a list with the keyboard focus
    const List objList(1000);
    objList.pWindow->show();
    objList.pWindow->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(objList.pWindow.get()));
    objList.pView->setFocus();
    QTRY_VERIFY(objList.pView->hasFocus());

    // WHEN an entry is selected
    if (intRow >= 0 && bByScreenReader)
        QVERIFY(objList.table().selectRow(intRow));
    else if (intRow >= 0)
        objList.pView->SelectRow(intRow);

    // THEN the screen reader finds it selected and focused, the only one
    if (intRow < 0) {
        QCOMPARE(objList.table().selectedRows(), QList<int>());
        QCOMPARE(objList.table().selectedCellCount(), 0);
        return;
    }
    QCOMPARE(objList.pView->currentIndex().row(), intRow);
    QCOMPARE(objList.table().selectedRows(), QList<int>{intRow});
    QCOMPARE(objList.table().selectedCells(),
             QList<QAccessibleInterface*>{objList.pInterface->child(intRow)});
    QAccessibleInterface* pFocused = objList.pInterface->focusChild();
    QVERIFY(pFocused);
    QCOMPARE(pFocused->text(QAccessible::Name), entry(intRow));
    QVERIFY(pFocused->state().focused);
    QVERIFY(pFocused->state().selected);
    QVERIFY(!pFocused->state().invisible);
    // An entry at the other end is neither, and out of sight.
    QAccessibleInterface* pOther = objList.pInterface->child(intRow < 500 ? 999 : 0);
    QVERIFY(!pOther->state().focused);
    QVERIFY(!pOther->state().selected);
    QVERIFY(pOther->state().invisible);
}

void tst_CListViewAccessible::entriesVisitedAreNotKeptAlive()
{
    // GIVEN a long list
    const List objList(10'000);
    // WHEN a screen reader visits every entry, twice
    std::vector<QAccessible::Id> lstIds;
    for (int intWalk = 0; intWalk < 2; ++intWalk) {
        for (int intRow = 0; intRow < objList.pInterface->childCount(); ++intRow) {
            QAccessibleInterface* pEntry = objList.pInterface->child(intRow);
            QCOMPARE(pEntry->text(QAccessible::Name), entry(intRow));
            lstIds.push_back(QAccessible::uniqueId(pEntry));
        }
    }
    // THEN only the entries visited last are still alive
    const auto intAlive = std::count_if(lstIds.begin(), lstIds.end(), [](QAccessible::Id intId) {
        return QAccessible::accessibleInterface(intId) != nullptr;
    });
    QCOMPARE(size_t(intAlive), CListViewAccessible::KeptEntries);
    QVERIFY(QAccessible::accessibleInterface(lstIds.back()));
    QVERIFY(!QAccessible::accessibleInterface(lstIds.front()));
}

void tst_CListViewAccessible::entriesAreLetGoWhenRowsMove_data()
{
    QTest::addColumn<QString>("strInserted"); // null: the first entry is removed instead
    QTest::newRow("inserted before") << QStringLiteral("C0000000a");
    QTest::newRow("inserted after") << QStringLiteral("C9");
    QTest::newRow("removed before") << QString();
}

void tst_CListViewAccessible::entriesAreLetGoWhenRowsMove()
{
    QFETCH(QString, strInserted);
    // GIVEN an entry a screen reader holds
    const List objList(10);
    const QAccessible::Id intHeld = QAccessible::uniqueId(objList.pInterface->child(2));

    // WHEN an entry comes or goes
    const int intRow = strInserted.isNull() ? 0 : objList.pModel->Insert(strInserted);
    if (strInserted.isNull())
        objList.pModel->RemoveAt(0);
    // With a screen reader running, the view tells its accessible object
    // (offscreen, no screen reader ever runs).
    QAccessibleTableModelChangeEvent objEvent(
        objList.pView, strInserted.isNull() ? QAccessibleTableModelChangeEvent::RowsRemoved
                                            : QAccessibleTableModelChangeEvent::RowsInserted);
    objEvent.setFirstRow(intRow);
    objEvent.setLastRow(intRow);
    objList.table().modelChange(&objEvent);

    // THEN the one held is gone, and the row's entry is the one there now
    QCOMPARE(QAccessible::accessibleInterface(intHeld), nullptr);
    QCOMPARE(objList.pInterface->child(2)->text(QAccessible::Name), objList.pModel->At(2));
}

void tst_CListViewAccessible::selectedCellsStayAliveHoweverManyAreSelected_data()
{
    QTest::addColumn<int>("intSelected");
    QTest::newRow("one") << 1;
    QTest::newRow("as many as are kept") << int(CListViewAccessible::KeptEntries);
    QTest::newRow("one more than are kept") << int(CListViewAccessible::KeptEntries) + 1;
    QTest::newRow("two hundred") << 200;
}

void tst_CListViewAccessible::selectedCellsStayAliveHoweverManyAreSelected()
{
    QFETCH(int, intSelected);
    // GIVEN a list whose first entries are all selected
    const List objList(1000);
    objList.pView->setSelectionMode(QAbstractItemView::MultiSelection);
    for (int intRow = 0; intRow < intSelected; ++intRow)
        objList.pView->selectionModel()->select(objList.pModel->index(intRow, 0),
                                                QItemSelectionModel::Select);

    // WHEN a screen reader asks for the selected cells
    const QList<QAccessibleInterface*> lstCells = objList.table().selectedCells();

    // THEN it gets every one, each still alive and the entry of its row
    QCOMPARE(lstCells.size(), intSelected);
    std::vector<QAccessible::Id> lstIds;
    for (int intRow = 0; intRow < intSelected; ++intRow) {
        QCOMPARE(lstCells[intRow]->text(QAccessible::Name), entry(intRow));
        lstIds.push_back(QAccessible::uniqueId(lstCells[intRow]));
        QCOMPARE(QAccessible::accessibleInterface(lstIds.back()), lstCells[intRow]);
    }
    // AND the next question lets go of those past the limit again
    QVERIFY(objList.pInterface->child(999));
    const auto intAlive = std::count_if(lstIds.begin(), lstIds.end(), [](QAccessible::Id intId) {
        return QAccessible::accessibleInterface(intId) != nullptr;
    });
    QCOMPARE(size_t(intAlive), std::min(size_t(intSelected), CListViewAccessible::KeptEntries - 1));
}

void tst_CListViewAccessible::entryTogglesItsSelection_data()
{
    QTest::addColumn<int>("intColumn");   // the model's column the view shows
    QTest::addColumn<int>("intSelected"); // -1: none
    QTest::addColumn<int>("intToggled");
    QTest::addColumn<QList<int>>("lstSelectedAfter");
    QTest::newRow("none selected") << 0 << -1 << 3 << QList<int>{3};
    QTest::newRow("another selected") << 0 << 5 << 3 << QList<int>{3};
    QTest::newRow("itself selected") << 0 << 3 << 3 << QList<int>();
    QTest::newRow("second column, none selected") << 1 << -1 << 3 << QList<int>{3};
    QTest::newRow("second column, itself selected") << 1 << 3 << 3 << QList<int>();
}

void tst_CListViewAccessible::entryTogglesItsSelection()
{
    QFETCH(int, intColumn);
    QFETCH(int, intSelected);
    QFETCH(int, intToggled);
    QFETCH(QList<int>, lstSelectedAfter);
    // GIVEN a list showing one column of its model, one entry or none selected
    List objList(10);
    objList.ShowColumn(intColumn);
    if (intSelected >= 0)
        objList.pView->SelectRow(intSelected);

    // WHEN an assistive tool runs an entry's one action
    QAccessibleInterface* pEntry = objList.pInterface->child(intToggled);
    QAccessibleActionInterface* pActions = pEntry->actionInterface();
    QVERIFY(pActions);
    QCOMPARE(pActions->actionNames(), QStringList{QAccessibleActionInterface::toggleAction()});
    pActions->doAction(QAccessibleActionInterface::toggleAction());

    // THEN the entry's selection is toggled, and the table says so
    QCOMPARE(objList.table().selectedRows(), lstSelectedAfter);
    QCOMPARE(objList.table().isRowSelected(intToggled), !lstSelectedAfter.isEmpty());
    QCOMPARE(pEntry->state().selected, !lstSelectedAfter.isEmpty());
}

QTEST_MAIN(tst_CListViewAccessible)
#include "tst_CListViewAccessible.moc"
