#include <CListView.h>
#include <CSortedListModel.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>

namespace {
// Long enough that the last entries start out of sight.
QStringList entries()
{
    QStringList lstEntries{"Adams", "Baker", "Bäcker", "C1",      "C2",      "C9",   "C10",
                           "C11",   "C100",  "Éclair", "eclipse", "Edwards", "Zola", "Zoë"};
    for (int i = 0; i < 500; ++i)
        lstEntries << QStringLiteral("M%1").arg(i);
    return lstEntries;
}

// Types strKeys into objView as a user would: "|" pauses for longer than the
// keyboard input interval, "\b" presses Backspace.
void type(QWidget& objView, const QString& strKeys, int intInterval)
{
    for (const QChar chKey : strKeys) {
        if (chKey == u'|') {
            QElapsedTimer objPause;
            objPause.start();
            QTRY_VERIFY_WITH_TIMEOUT(objPause.hasExpired(intInterval), 10 * intInterval);
        } else if (chKey == u'\b') {
            QTest::keyClick(&objView, Qt::Key_Backspace);
        } else {
            QTest::sendKeyEvent(QTest::Click, &objView, Qt::Key(chKey.toUpper().unicode()),
                                QString(chKey), Qt::NoModifier);
        }
    }
}
} // namespace

class tst_CListView : public QObject
{
    Q_OBJECT

private slots:
    void typeToFind_data();
    void typeToFind();
};

void tst_CListView::typeToFind_data()
{
    QTest::addColumn<QString>("strSelected"); // before typing; null: none
    QTest::addColumn<QString>("strTyped");
    QTest::addColumn<QString>("strFound"); // selected after; null: none
    QTest::newRow("start of list") << QString() << "ad"
                                   << "Adams";
    QTest::newRow("middle of list") << QString() << "edw"
                                    << "Edwards";
    QTest::newRow("end of list") << QString() << "zol"
                                 << "Zola";
    QTest::newRow("first of several") << "Zola"
                                      << "b"
                                      << "Bäcker";
    QTest::newRow("letter case ignored") << QString() << "ZO"
                                         << "Zoë";
    QTest::newRow("accent typed, none in entry") << QString() << "éd"
                                                 << "Edwards";
    QTest::newRow("accent in entry, none typed") << QString() << "BA"
                                                 << "Bäcker";
    QTest::newRow("number") << QString() << "c1"
                            << "C1";
    QTest::newRow("number after a shorter one") << QString() << "c10"
                                                << "C10";
    QTest::newRow("longer number further on") << QString() << "c100"
                                              << "C100";
    QTest::newRow("no match, nothing selected") << QString() << "q" << QString();
    QTest::newRow("no match keeps selection") << "Baker"
                                              << "q"
                                              << "Baker";
    QTest::newRow("no match after a match") << QString() << "edx"
                                            << "Edwards";
    QTest::newRow("keys within the interval add up") << QString() << "m42"
                                                     << "M42";
    QTest::newRow("after the timeout a new text") << QString() << "ed|a"
                                                  << "Adams";
    QTest::newRow("after the timeout, no match") << QString() << "c1|0"
                                                 << "C1";
    QTest::newRow("Backspace leaves the text") << QString() << "ecl\bi"
                                               << "eclipse";
}

void tst_CListView::typeToFind()
{
    QFETCH(QString, strSelected);
    QFETCH(QString, strTyped);
    QFETCH(QString, strFound);
    // GIVEN a sorted list with the focus, some entries out of sight
    QWidget objWindow;
    auto* pView = new CListView(&objWindow);
    auto* pModel = new CSortedListModel(pView);
    pView->setModel(pModel);
    pView->setSelectionMode(QAbstractItemView::SingleSelection);
    pView->setGeometry(10, 10, 120, 100);
    for (const QString& strEntry : entries())
        pModel->Insert(strEntry);
    objWindow.show();
    QVERIFY(QTest::qWaitForWindowExposed(&objWindow));
    pView->setFocus();
    if (!strSelected.isNull())
        pView->selectionModel()->setCurrentIndex(pModel->index(pModel->FindPrefix(strSelected)),
                                                 QItemSelectionModel::ClearAndSelect);
    const int intInterval = strTyped.contains(u'|') ? 400 : 60000;
    const int intDefaultInterval = QApplication::keyboardInputInterval();
    QApplication::setKeyboardInputInterval(intInterval);

    // WHEN the user types
    type(*pView, strTyped, intInterval);
    QApplication::setKeyboardInputInterval(intDefaultInterval);

    // THEN the entry found is selected and current, in sight; or nothing changed
    const QModelIndexList lstSelected = pView->selectionModel()->selectedIndexes();
    QCOMPARE(lstSelected.size(), strFound.isNull() ? 0 : 1);
    if (strFound.isNull())
        return;
    QCOMPARE(lstSelected.first().data().toString(), strFound);
    QCOMPARE(pView->currentIndex(), lstSelected.first());
    QVERIFY(pView->viewport()->rect().contains(pView->visualRect(lstSelected.first())));
}

QTEST_MAIN(tst_CListView)
#include "tst_CListView.moc"
