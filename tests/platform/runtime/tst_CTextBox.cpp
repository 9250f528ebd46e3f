#include "platform/TestForms.h"

#include <CTextField.h>

class tst_CTextBox : public FormTestCase
{
    Q_OBJECT

private slots:
    void textBoxTakesUpToItsLimit();
};

void tst_CTextBox::textBoxTakesUpToItsLimit()
{
    CTextBox txtName = CForm::Get<frmTest>().TextBox("txtName");
    const QString strLong(CTextField::MaxLength - 2, u'x');
    txtName.setText(strLong);
    QCOMPARE(txtName.Text(), strLong);
    QTest::keyClick(&widget("txtName"), Qt::Key_End);
    QTest::keyClicks(&widget("txtName"), "yz");
    QCOMPARE(txtName.Text(), strLong + "yz");
    QCOMPARE(mlstMessages.size(), 0);
    // The box reports a refusal; the form shows it.
    QTest::keyClick(&widget("txtName"), Qt::Key_Q);
    QTRY_COMPARE(mlstMessages.size(), 1);
    QVERIFY2(mlstMessages[0].second.startsWith("A text box holds at most"),
             qPrintable(mlstMessages[0].second));
    QCOMPARE(txtName.Text(), strLong + "yz");
}

QTEST_MAIN(tst_CTextBox)
#include "tst_CTextBox.moc"
