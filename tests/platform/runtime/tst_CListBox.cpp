#include "platform/TestForms.h"

#include <QHelpEvent>
#include <QListView>
#include <QStyledItemDelegate>
#include <QToolTip>

class tst_CListBox : public FormTestCase
{
    Q_OBJECT

private slots:
    void listIndexFollowsItsEntry_data();
    void listIndexFollowsItsEntry();
    void listRefusesBadIndexes();
    void listKeysAndMouse_data();
    void listKeysAndMouse();
    void listShowsControlCharacters_data();
    void listShowsControlCharacters();
    void listRowsFollowTheFont();
};

void tst_CListBox::listIndexFollowsItsEntry_data()
{
    QTest::addColumn<QStringList>("lstAdded");
    QTest::addColumn<QString>("strSelected");
    QTest::addColumn<QString>("strOperation"); // "+text" adds, "-row" removes
    QTest::addColumn<int>("intIndex");
    QTest::addColumn<QStringList>("lstAfter");
    const QStringList lstThree{"C2", "C10", "a1"};
    QTest::newRow("insert before") << lstThree << "C2"
                                   << "+B" << 2 << QStringList{"a1", "B", "C2", "C10"};
    QTest::newRow("insert after") << lstThree << "C2"
                                  << "+C3" << 1 << QStringList{"a1", "C2", "C3", "C10"};
    QTest::newRow("remove before") << lstThree << "C10"
                                   << "-0" << 1 << QStringList{"C2", "C10"};
    QTest::newRow("remove after") << lstThree << "a1"
                                  << "-2" << 0 << QStringList{"a1", "C2"};
    QTest::newRow("remove selected") << lstThree << "C2"
                                     << "-1" << -1 << QStringList{"a1", "C10"};
    QTest::newRow("no selection stays") << lstThree << ""
                                        << "+A" << -1 << QStringList{"A", "a1", "C2", "C10"};
}

void tst_CListBox::listIndexFollowsItsEntry()
{
    QFETCH(QStringList, lstAdded);
    QFETCH(QString, strSelected);
    QFETCH(QString, strOperation);
    QFETCH(int, intIndex);
    QFETCH(QStringList, lstAfter);
    CListBox lstThings = CForm::Get<frmTest>().ListBox("lstThings");
    for (const QString& strText : lstAdded)
        lstThings.AddItem(strText);
    for (int i = 0; i < lstThings.ListCount(); ++i) {
        if (lstThings.List(i) == strSelected)
            lstThings.setListIndex(i);
    }
    QCOMPARE(lstThings.ListIndex() == -1, strSelected.isEmpty());
    if (strOperation.startsWith(u'+'))
        lstThings.AddItem(strOperation.mid(1));
    else
        lstThings.RemoveItem(strOperation.mid(1).toInt());
    QCOMPARE(lstThings.ListIndex(), intIndex);
    QStringList lstEntries;
    for (int i = 0; i < lstThings.ListCount(); ++i)
        lstEntries << lstThings.List(i);
    QCOMPARE(lstEntries, lstAfter);
    lstThings.setListIndex(-1);
    QCOMPARE(lstThings.ListIndex(), -1);
}

void tst_CListBox::listRefusesBadIndexes()
{
    CListBox lstThings = CForm::Get<frmTest>().ListBox("lstThings");
    lstThings.AddItem("only");
    for (int intIndex : {-2, -1, 1, 1000}) {
        QVERIFY_THROWS_EXCEPTION(CError, lstThings.RemoveItem(intIndex));
        QVERIFY_THROWS_EXCEPTION(CError, lstThings.List(intIndex));
    }
    QVERIFY_THROWS_EXCEPTION(CError, lstThings.setListIndex(1));
    QCOMPARE(lstThings.ListCount(), 1);
}

void tst_CListBox::listKeysAndMouse_data()
{
    QTest::addColumn<int>("intStart"); // -1: nothing current
    QTest::addColumn<int>("intKey");
    QTest::addColumn<int>("intExpected"); // -2: the row one page below the start
    QTest::newRow("Down from nothing") << -1 << int(Qt::Key_Down) << 0;
    QTest::newRow("Up from nothing") << -1 << int(Qt::Key_Up) << 0;
    QTest::newRow("Home from nothing") << -1 << int(Qt::Key_Home) << 0;
    QTest::newRow("End from nothing") << -1 << int(Qt::Key_End) << 999;
    QTest::newRow("Home on the first") << 0 << int(Qt::Key_Home) << 0;
    QTest::newRow("Down") << 3 << int(Qt::Key_Down) << 4;
    QTest::newRow("Up") << 3 << int(Qt::Key_Up) << 2;
    QTest::newRow("Up at top stays") << 0 << int(Qt::Key_Up) << 0;
    QTest::newRow("Down at bottom stays") << 999 << int(Qt::Key_Down) << 999;
    QTest::newRow("Home") << 500 << int(Qt::Key_Home) << 0;
    QTest::newRow("End") << 5 << int(Qt::Key_End) << 999;
    QTest::newRow("Page Down") << 10 << int(Qt::Key_PageDown) << -2;
    QTest::newRow("Page Up at top") << 2 << int(Qt::Key_PageUp) << 0;
}

void tst_CListBox::listKeysAndMouse()
{
    QFETCH(int, intStart);
    QFETCH(int, intKey);
    QFETCH(int, intExpected);
    CListBox lstThings = CForm::Get<frmTest>().ListBox("lstThings");
    for (int i = 0; i < 1000; ++i)
        lstThings.AddItem(QStringLiteral("C%1").arg(i));
    auto& objView = widget<QListView>("lstThings");
    if (intStart >= 0)
        lstThings.setListIndex(intStart);
    objView.setFocus();
    QTRY_VERIFY(objView.hasFocus());
    // The entry under the focus frame is not selected until a key selects it.
    QCOMPARE(lstThings.ListIndex(), intStart);
    QTest::keyClick(&objView, Qt::Key(intKey));
    const int intRowHeight = objView.visualRect(objView.model()->index(0, 0)).height();
    QVERIFY(intRowHeight > 0);
    if (intExpected == -2)
        intExpected = intStart + objView.viewport()->height() / intRowHeight;
    QCOMPARE(lstThings.ListIndex(), intExpected);

    // The selected row is on screen, and the mouse finds it where it is drawn.
    const QRect rctRow = objView.visualRect(objView.model()->index(intExpected, 0));
    QVERIFY(objView.viewport()->rect().contains(rctRow));
    QCOMPARE(objView.indexAt(rctRow.center()).row(), intExpected);
    QCOMPARE(lstThings.List(intExpected), QStringLiteral("C%1").arg(intExpected));
    const QPoint ptBelow = rctRow.center() + QPoint(0, intRowHeight);
    if (objView.viewport()->rect().contains(ptBelow) && intExpected < 999) {
        QTest::mouseClick(objView.viewport(), Qt::LeftButton, {}, ptBelow);
        QCOMPARE(lstThings.ListIndex(), intExpected + 1);
    }
}

void tst_CListBox::listShowsControlCharacters_data()
{
    QTest::addColumn<QString>("strText");
    QTest::addColumn<QString>("strShown");
    QTest::addColumn<QString>("strTip"); // null: not looked at
    QTest::newRow("plain") << "C1"
                           << "C1" << QString();
    QTest::newRow("tab") << "A\tB" << QString("A") + QChar(0x2409) + "B" << QString();
    QTest::newRow("line feed") << "A\nB" << QString("A") + QChar(0x240a) + "B" << QString();
    QTest::newRow("carriage return") << "A\r" << QString("A") + QChar(0x240d) << QString();
    QTest::newRow("NUL") << QString("A") + QChar(0) + "B" << QString("A") + QChar(0x2400) + "B"
                         << QString();
    QTest::newRow("DEL") << QString("A") + QChar(0x7f) << QString("A") + QChar(0x2421) << QString();
    QTest::newRow("line separator") << QString("A") + QChar(0x2028) << "A<U+2028>" << QString();
    QTest::newRow("no-break space") << QString("A") + QChar(0xa0) << "A<U+00A0>" << QString();
    QTest::newRow("accents kept") << "Café"
                                  << "Café" << QString();
    // A tooltip keeps 246 UTF-16 units of each end of an entry longer than 500.
    const QString strEmoji = QString::fromUcs4(U"\U0001F600");
    QTest::newRow("500 in the tooltip")
        << QString(500, u'x') << QString(500, u'x') << QString(500, u'x');
    QTest::newRow("501 shortened in the tooltip")
        << "a" + QString(499, u'x') + "b"
        << "a" + QString(499, u'x') + "b"
        << "a" + QString(245, u'x') + "…" + QString(245, u'x') + "b";
    QTest::newRow("emoji at the tooltip's cuts")
        << QString(245, u'a') + strEmoji + QString(100, u'b') + strEmoji + QString(245, u'c')
        << QString(245, u'a') + strEmoji + QString(100, u'b') + strEmoji + QString(245, u'c')
        << QString(245, u'a') + "…" + QString(245, u'c');
    QTest::newRow("marks in the tooltip") << "\t" + QString(600, u'y') << "␉" + QString(600, u'y')
                                          << "␉" + QString(245, u'y') + "…" + QString(246, u'y');
}

void tst_CListBox::listShowsControlCharacters()
{
    QFETCH(QString, strText);
    QFETCH(QString, strShown);
    QFETCH(QString, strTip);
    CListBox lstThings = CForm::Get<frmTest>().ListBox("lstThings");
    lstThings.AddItem(strText);
    // The entry keeps its text; only what is drawn differs.
    QCOMPARE(lstThings.List(0), strText);
    auto& objView = widget<QListView>("lstThings");
    const QModelIndex objIndex = objView.model()->index(0, 0);
    QStyleOptionViewItem objOption;
    objOption.initFrom(&objView);
    const auto* pDelegate =
        qobject_cast<QStyledItemDelegate*>(objView.itemDelegateForIndex(objIndex));
    QVERIFY(pDelegate);
    QCOMPARE(pDelegate->displayText(objIndex.data(), QLocale()), strShown);
    QCOMPARE(objView.textElideMode(), Qt::ElideMiddle);

    if (strTip.isNull())
        return;
    const QRect rctRow = objView.visualRect(objIndex);
    QHelpEvent objHelp(QEvent::ToolTip, rctRow.center(),
                       objView.viewport()->mapToGlobal(rctRow.center()));
    QVERIFY(QCoreApplication::sendEvent(objView.viewport(), &objHelp));
    QCOMPARE(QToolTip::text(), strTip);
    QToolTip::hideText();
    QTRY_VERIFY(!QToolTip::isVisible());
}

void tst_CListBox::listRowsFollowTheFont()
{
    CListBox lstThings = CForm::Get<frmTest>().ListBox("lstThings");
    for (int i = 0; i < 50; ++i)
        lstThings.AddItem(QStringLiteral("C%1").arg(i));
    auto& objView = widget<QListView>("lstThings");
    const int intBefore = objView.visualRect(objView.model()->index(1, 0)).height();
    QFont objFont = objView.font();
    objFont.setPointSizeF(objFont.pointSizeF() * 2);
    objView.setFont(objFont);
    const QRect rctRow = objView.visualRect(objView.model()->index(1, 0));
    QVERIFY2(rctRow.height() > intBefore, qPrintable(QString::number(rctRow.height())));
    QCOMPARE(objView.indexAt(rctRow.center()).row(), 1);
}

QTEST_MAIN(tst_CListBox)
#include "tst_CListBox.moc"
