#include "platform/TestForms.h"

#include <CFormWindow.h>

#include <QApplication>

#include <memory>

class tst_CMessageBox : public FormTestCase
{
    Q_OBJECT

private slots:
    void messageBoxIsPlain_data();
    void messageBoxIsPlain();
    void goesWithTheWindowThatShowsIt();
};

void tst_CMessageBox::messageBoxIsPlain_data()
{
    QTest::addColumn<QString>("strText");
    QTest::addColumn<QString>("strTitle");
    QTest::addColumn<QString>("strShownTitle");
    QTest::newRow("default title") << "There are 0 customers."
                                   << ""
                                   << "Corvale";
    QTest::newRow("own title") << "Please Select"
                               << "Input Requested"
                               << "Input Requested";
    QTest::newRow("markup") << "<b>x</b> <img src=y>"
                            << ""
                            << "Corvale";
}

void tst_CMessageBox::messageBoxIsPlain()
{
    QFETCH(QString, strText);
    QFETCH(QString, strTitle);
    QFETCH(QString, strShownTitle);
    CMessageBox::SetObserver([&](const QMessageBox& objBox) {
        QCOMPARE(objBox.textFormat(), Qt::PlainText);
        QCOMPARE(objBox.text(), strText);
        QCOMPARE(objBox.windowTitle(), strShownTitle);
        QCOMPARE(objBox.icon(), QMessageBox::NoIcon);
        QCOMPARE(objBox.buttons().size(), 1);
        QCOMPARE(objBox.standardButton(objBox.buttons().first()), QMessageBox::Ok);
        QVERIFY(objBox.isModal());
        mlstMessages.append({objBox.windowTitle(), objBox.text()});
    });
    CMessageBox::Show(strText, strTitle);
    QCOMPARE(mlstMessages.size(), 1);

    // Shown for real, OK (and Enter) answers it.
    whenModal([] {
        QTRY_VERIFY(QApplication::activeModalWidget());
        QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Return);
    });
    CMessageBox::SetObserver({});
    CMessageBox::Show(strText, strTitle);
    QVERIFY(!QApplication::activeModalWidget());
}

// A box belongs to the window that shows it; that window may go first (its
// form unloaded meanwhile), and the box goes with it, once.
void tst_CMessageBox::goesWithTheWindowThatShowsIt()
{
    auto pOwner = std::make_unique<CFormWindow>([] {});
    pOwner->show();
    pOwner->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(pOwner.get()));
    whenModal([&pOwner] {
        QTRY_VERIFY(QApplication::activeModalWidget());
        QCOMPARE(QApplication::activeModalWidget()->parentWidget(), pOwner.get());
        pOwner.reset();
    });
    CMessageBox::SetObserver({});
    CMessageBox::Show(QStringLiteral("The window goes first."));
    QVERIFY(!pOwner);
    QVERIFY(!QApplication::activeModalWidget());
}

QTEST_MAIN(tst_CMessageBox)
#include "tst_CMessageBox.moc"
