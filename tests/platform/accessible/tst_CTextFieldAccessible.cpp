#include <CAccessibleFactory.h>
#include <CTextField.h>

#include <QAccessible>
#include <QTest>
#include <QWidget>

namespace {
// The accessible text interface of a text box holding strText.
struct Field
{
    explicit Field(const QString& strText) : objField(&objWindow)
    {
        objField.setText(strText);
        pInterface = QAccessible::queryAccessibleInterface(&objField);
    }

    QAccessibleTextInterface& text() const { return *pInterface->textInterface(); }

    QWidget objWindow;
    CTextField objField;
    QAccessibleInterface* pInterface = nullptr;
};

const QString gstrNul = QStringLiteral("A") + QChar(u'\0') + QStringLiteral("B");
} // namespace

class tst_CTextFieldAccessible : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void isAnEditableText();
    void attributeRunSpansTheText_data();
    void attributeRunSpansTheText();
    void textIsReadWhole_data();
    void textIsReadWhole();
    void editsGoToTheField_data();
    void editsGoToTheField();
    void readOnlyFieldRefusesEdits();
};

void tst_CTextFieldAccessible::initTestCase()
{
    CAccessibleFactory::Install();
}

void tst_CTextFieldAccessible::isAnEditableText()
{
    Field objField(QStringLiteral("Smith"));
    QVERIFY(objField.pInterface);
    QCOMPARE(objField.pInterface->role(), QAccessible::EditableText);
    QVERIFY(objField.pInterface->textInterface());
    QVERIFY(objField.pInterface->editableTextInterface());
    QVERIFY(objField.pInterface->state().editable);
    QVERIFY(!objField.pInterface->state().readOnly);
}

void tst_CTextFieldAccessible::attributeRunSpansTheText_data()
{
    QTest::addColumn<QString>("strText");
    QTest::addColumn<int>("intOffset");
    QTest::newRow("first character") << QStringLiteral("Smith") << 0;
    QTest::newRow("middle character") << QStringLiteral("Smith") << 2;
    QTest::newRow("last character") << QStringLiteral("Smith") << 4;
    QTest::newRow("end of the text") << QStringLiteral("Smith") << 5;
    QTest::newRow("one character") << QStringLiteral("x") << 0;
    QTest::newRow("empty text") << QString() << 0;
    QTest::newRow("words and spaces") << QStringLiteral("1 High St ") << 6;
    QTest::newRow("beyond a surrogate pair") << QStringLiteral("a\U0001F600b") << 3;
    QTest::newRow("after a NUL") << gstrNul << 2;
}

void tst_CTextFieldAccessible::attributeRunSpansTheText()
{
    QFETCH(QString, strText);
    QFETCH(int, intOffset);
    Field objField(strText);
    int intStart = -1;
    int intEnd = -1;
    objField.text().attributes(intOffset, &intStart, &intEnd);
    QCOMPARE(intStart, 0);
    QCOMPARE(intEnd, strText.size());
}

void tst_CTextFieldAccessible::textIsReadWhole_data()
{
    QTest::addColumn<QString>("strText");
    QTest::addColumn<QString>("strRead");
    QTest::newRow("word") << QStringLiteral("Smith") << QStringLiteral("Smith");
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("several words") << QStringLiteral("1 High St") << QStringLiteral("1 High St");
    QTest::newRow("NUL inside") << gstrNul << QStringLiteral("A\u2400B");
    QTest::newRow("NUL first") << QString(QChar(u'\0')) + "Z" << QStringLiteral("\u2400Z");
}

void tst_CTextFieldAccessible::textIsReadWhole()
{
    QFETCH(QString, strText);
    QFETCH(QString, strRead);
    Field objField(strText);
    QAccessibleTextInterface& objText = objField.text();
    QCOMPARE(objText.characterCount(), strRead.size());
    QCOMPARE(objText.text(0, objText.characterCount()), strRead);
    QCOMPARE(objText.text(0, -1), strRead);
    QCOMPARE(objField.pInterface->text(QAccessible::Value), strRead);
    // A screen reader reads the line the caret is on.
    int intStart = -1;
    int intEnd = -1;
    QCOMPARE(objText.textAtOffset(0, QAccessible::LineBoundary, &intStart, &intEnd), strRead);
    if (strRead.isEmpty())
        return;
    QCOMPARE(intStart, 0);
    QCOMPARE(intEnd, strRead.size());
    // A part keeps its offsets.
    QCOMPARE(objText.text(1, 2), strRead.mid(1, 1));
}

void tst_CTextFieldAccessible::editsGoToTheField_data()
{
    QTest::addColumn<QString>("strEdit");
    QTest::addColumn<int>("intStart");
    QTest::addColumn<int>("intEnd");
    QTest::addColumn<QString>("strInserted");
    QTest::addColumn<QString>("strResult");
    QTest::newRow("insert at start") << "insert" << 0 << 0 << "Mr "
                                     << "Mr Smith";
    QTest::newRow("insert at end") << "insert" << 5 << 5 << "e"
                                   << "Smithe";
    QTest::newRow("delete middle") << "delete" << 1 << 3 << ""
                                   << "Sth";
    QTest::newRow("delete beyond the end") << "delete" << 3 << 99 << ""
                                           << "Smi";
    QTest::newRow("replace all") << "replace" << 0 << 5 << "Jones"
                                 << "Jones";
}

void tst_CTextFieldAccessible::editsGoToTheField()
{
    QFETCH(QString, strEdit);
    QFETCH(int, intStart);
    QFETCH(int, intEnd);
    QFETCH(QString, strInserted);
    QFETCH(QString, strResult);
    Field objField(QStringLiteral("Smith"));
    QAccessibleEditableTextInterface& objEdit = *objField.pInterface->editableTextInterface();
    if (strEdit == u"insert")
        objEdit.insertText(intStart, strInserted);
    else if (strEdit == u"delete")
        objEdit.deleteText(intStart, intEnd);
    else
        objEdit.replaceText(intStart, intEnd, strInserted);
    QCOMPARE(objField.objField.text(), strResult);
}

void tst_CTextFieldAccessible::readOnlyFieldRefusesEdits()
{
    Field objField(QStringLiteral("Smith"));
    objField.objField.setReadOnly(true);
    QVERIFY(objField.pInterface->state().readOnly);
    QVERIFY(!objField.pInterface->state().editable);
    objField.pInterface->editableTextInterface()->insertText(0, QStringLiteral("x"));
    objField.pInterface->setText(QAccessible::Value, QStringLiteral("y"));
    QCOMPARE(objField.objField.text(), QStringLiteral("Smith"));
}

QTEST_MAIN(tst_CTextFieldAccessible)
#include "tst_CTextFieldAccessible.moc"
