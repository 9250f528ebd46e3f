#include "platform/TestForms.h"

#include <QApplication>

class tst_CMessageBox : public FormTestCase
{
    Q_OBJECT

private slots:
    void messageBoxIsPlain_data();
    void messageBoxIsPlain();
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
    const auto pBox = CMessageBox::Build(strText, strTitle);
    QCOMPARE(pBox->textFormat(), Qt::PlainText);
    QCOMPARE(pBox->text(), strText);
    QCOMPARE(pBox->windowTitle(), strShownTitle);
    QCOMPARE(pBox->icon(), QMessageBox::NoIcon);
    QCOMPARE(pBox->buttons().size(), 1);
    QCOMPARE(pBox->standardButton(pBox->buttons().first()), QMessageBox::Ok);
    QVERIFY(pBox->isModal());

    // Shown for real, OK (and Enter) answers it.
    whenModal([] {
        QTRY_VERIFY(QApplication::activeModalWidget());
        QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Return);
    });
    CMessageBox::SetObserver({});
    CMessageBox::Show(strText, strTitle);
    QVERIFY(!QApplication::activeModalWidget());
}

QTEST_MAIN(tst_CMessageBox)
#include "tst_CMessageBox.moc"
