#include "platform/TestForms.h"

class tst_CFormWindow : public FormTestCase
{
    Q_OBJECT

private slots:
    void keys_data();
    void keys();
};

void tst_CFormWindow::keys_data()
{
    QTest::addColumn<QString>("strFocus");
    QTest::addColumn<int>("intKey");
    QTest::addColumn<bool>("bCancelHidden");
    QTest::addColumn<QStringList>("lstEvents");
    QTest::newRow("Enter in text box")
        << "txtName" << int(Qt::Key_Return) << false << QStringList{"Go"};
    QTest::newRow("keypad Enter") << "txtName" << int(Qt::Key_Enter) << false << QStringList{"Go"};
    QTest::newRow("Enter in list")
        << "lstThings" << int(Qt::Key_Return) << false << QStringList{"Go"};
    QTest::newRow("Enter on other button")
        << "cmdLong" << int(Qt::Key_Return) << false << QStringList{"Long"};
    QTest::newRow("Enter on cancel")
        << "cmdStop" << int(Qt::Key_Return) << false << QStringList{"Stop"};
    QTest::newRow("Esc") << "txtName" << int(Qt::Key_Escape) << false << QStringList{"Stop"};
    QTest::newRow("Esc in list") << "lstThings" << int(Qt::Key_Escape) << false
                                 << QStringList{"Stop"};
    QTest::newRow("Esc, cancel hidden")
        << "txtName" << int(Qt::Key_Escape) << true << QStringList{"QueryUnload"};
    QTest::newRow("Space on button")
        << "cmdLong" << int(Qt::Key_Space) << false << QStringList{"Long"};
}

void tst_CFormWindow::keys()
{
    QFETCH(QString, strFocus);
    QFETCH(int, intKey);
    QFETCH(bool, bCancelHidden);
    QFETCH(QStringList, lstEvents);
    frmTest& objForm = CForm::Get<frmTest>();
    objForm.ListBox("lstThings").AddItem("one");
    objForm.CommandButton("cmdStop").setVisible(!bCancelHidden);
    QWidget& objFocus = widget(strFocus.toUtf8().constData());
    objFocus.setFocus();
    QTRY_VERIFY(objFocus.hasFocus());
    QTest::keyClick(&objFocus, Qt::Key(intKey));
    QTRY_COMPARE(objForm.lstEvents, lstEvents);
}

QTEST_MAIN(tst_CFormWindow)
#include "tst_CFormWindow.moc"
