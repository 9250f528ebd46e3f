#include "platform/TestForms.h"

#include <CTextField.h>

#include <optional>

class tst_CTextBox : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void textBoxTakesUpToItsLimit();

private:
    std::optional<RecordedMessages> mobjMessages;
};

void tst_CTextBox::init()
{
    mobjMessages.emplace();
    showTestForm();
}

void tst_CTextBox::cleanup()
{
    mobjMessages.reset();
    releaseForms();
}

void tst_CTextBox::textBoxTakesUpToItsLimit()
{
    CTextBox txtName = CForm::Get<frmTest>().TextBox("txtName");
    const QString strLong(CTextField::MaxLength - 2, u'x');
    txtName.setText(strLong);
    QCOMPARE(txtName.Text(), strLong);
    QTest::keyClick(&widget("txtName"), Qt::Key_End);
    QTest::keyClicks(&widget("txtName"), "yz");
    QCOMPARE(txtName.Text(), strLong + "yz");
    QCOMPARE(mobjMessages->All().size(), 0);
    // The box reports a refusal; the form shows it.
    QTest::keyClick(&widget("txtName"), Qt::Key_Q);
    QTRY_COMPARE(mobjMessages->All().size(), 1);
    QVERIFY2(mobjMessages->All()[0].second.startsWith("A text box holds at most"),
             qPrintable(mobjMessages->All()[0].second));
    QCOMPARE(txtName.Text(), strLong + "yz");
}

QTEST_MAIN(tst_CTextBox)
#include "tst_CTextBox.moc"
