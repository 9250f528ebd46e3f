#include <CAccessibleFactory.h>
#include <CTextField.h>

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLocale>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>

namespace {
constexpr int gintMax = CTextField::MaxLength;

// The ways a person adds text to a box. Each adds strText at the caret,
// replacing the selection.
void addByKeyboard(CTextField& objField, const QString& strText)
{
    QApplication::clipboard()->setText(strText);
    QTest::keyClick(&objField, Qt::Key_V, Qt::ControlModifier);
}

void addByShiftInsert(CTextField& objField, const QString& strText)
{
    QApplication::clipboard()->setText(strText);
    QTest::keyClick(&objField, Qt::Key_Insert, Qt::ShiftModifier);
}

void addByContextMenu(CTextField& objField, const QString& strText)
{
    QApplication::clipboard()->setText(strText);
    // Chooses Paste once the menu is up.
    bool bTriggered = false;
    QTimer objTimer;
    QObject::connect(&objTimer, &QTimer::timeout, &objField, [&] {
        auto* pMenu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!pMenu)
            return;
        objTimer.stop();
        const QList<QAction*> lstActions = pMenu->actions();
        const auto itPaste =
            std::find_if(lstActions.begin(), lstActions.end(),
                         [](QAction* pAction) { return pAction->text().startsWith("&Paste"); });
        QAction* pPaste = itPaste == lstActions.end() ? nullptr : *itPaste;
        pMenu->close();
        if (pPaste) {
            pPaste->trigger();
            bTriggered = true;
        }
    });
    objTimer.start(10);
    QContextMenuEvent objEvent(QContextMenuEvent::Mouse, QPoint(5, 5),
                               objField.mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(&objField, &objEvent);
    // Qt may pop the menu up before the event returns or after it.
    QTRY_VERIFY(bTriggered);
}

void addByInputMethod(CTextField& objField, const QString& strText)
{
    QInputMethodEvent objEvent;
    objEvent.setCommitString(strText);
    QApplication::sendEvent(&objField, &objEvent);
}

void addByDrop(CTextField& objField, const QString& strText)
{
    // A drop puts the text at the pointer: near the right edge, after the
    // short texts and among the x's of the long ones.
    const QPointF ptAt(objField.width() - 2, objField.height() / 2);
    QMimeData objData;
    objData.setText(strText);
    QDragEnterEvent objEnter(ptAt.toPoint(), Qt::CopyAction, &objData, Qt::LeftButton,
                             Qt::NoModifier);
    QApplication::sendEvent(&objField, &objEnter);
    QDragMoveEvent objMove(ptAt.toPoint(), Qt::CopyAction, &objData, Qt::LeftButton,
                           Qt::NoModifier);
    QApplication::sendEvent(&objField, &objMove);
    QDropEvent objDrop(ptAt, Qt::CopyAction, &objData, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&objField, &objDrop);
}

// A screen reader's or a voice control's edit, through the box's accessible text.
void addByAssistiveTechnology(CTextField& objField, const QString& strText)
{
    const int intStart =
        objField.hasSelectedText() ? objField.selectionStart() : objField.cursorPosition();
    QAccessible::queryAccessibleInterface(&objField)->editableTextInterface()->replaceText(
        intStart, intStart + int(objField.selectedText().size()), strText);
}

// The same inserting at the caret, and setting the whole text; the selection stays.
void addByAccessibleInsert(CTextField& objField, const QString& strText)
{
    QAccessible::queryAccessibleInterface(&objField)->editableTextInterface()->insertText(
        objField.cursorPosition(), strText);
}

void addByAccessibleSetText(CTextField& objField, const QString& strText)
{
    QAccessible::queryAccessibleInterface(&objField)->setText(QAccessible::Value,
                                                              objField.text() + strText);
}

void addByTyping(CTextField& objField, const QString& strText)
{
    QTest::keyClicks(&objField, strText);
}

using Adder = std::function<void(CTextField&, const QString&)>;
} // namespace
Q_DECLARE_METATYPE(Adder)

class tst_CTextField : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void takesWhatFitsAndRefusesTheRest_data();
    void takesWhatFitsAndRefusesTheRest();
    void keyRepeatAtTheLimitShowsOneMessage();

private:
    QStringList mlstMessages;
};

void tst_CTextField::initTestCase()
{
    CAccessibleFactory::Install();
}

void tst_CTextField::init()
{
    mlstMessages.clear();
}

void tst_CTextField::cleanup()
{
    QCOMPARE(QApplication::topLevelWidgets(), QWidgetList());
}

void tst_CTextField::takesWhatFitsAndRefusesTheRest_data()
{
    QTest::addColumn<Adder>("fnAdd");
    QTest::addColumn<QString>("strBefore");
    QTest::addColumn<int>("intSelected"); // characters selected at the end, replaced by the paste
    QTest::addColumn<qsizetype>("intAdded");
    QTest::addColumn<bool>("bTaken");

    const struct
    {
        const char* pszWay;
        Adder fnAdd;
        bool bReplacesSelection;
    } lstWays[] = {
        {"Ctrl+V", addByKeyboard, true},
        {"Shift+Insert", addByShiftInsert, true},
        {"context menu", addByContextMenu, true},
        {"input method", addByInputMethod, true},
        {"drop", addByDrop, false},
        {"assistive technology", addByAssistiveTechnology, true},
        {"assistive technology inserting", addByAccessibleInsert, false},
        {"assistive technology setting the text", addByAccessibleSetText, false},
    };
    for (const auto& objWay : lstWays) {
        const auto row = [&](const char* pszCase) -> QTestData& {
            return QTest::newRow(qPrintable(QString("%1, %2").arg(objWay.pszWay, pszCase)))
                   << objWay.fnAdd;
        };
        row("small") << QString("Smith") << 0 << qsizetype(3) << true;
        row("up to the limit") << QString("Smith") << 0 << qsizetype(gintMax - 5) << true;
        row("one past the limit") << QString("Smith") << 0 << qsizetype(gintMax - 4) << false;
        row("megabytes") << QString("Smith") << 0 << qsizetype(5'000'000) << false;
        row("megabytes into an empty box") << QString() << 0 << qsizetype(5'000'000) << false;
        if (objWay.bReplacesSelection)
            row("replacing a selection, up to the limit")
                << QString(gintMax, u'q') << 10 << qsizetype(10) << true;
        row("replacing a selection, past the limit")
            << QString(gintMax, u'q') << 10 << qsizetype(11) << false;
    }
    QTest::newRow("typing, up to the limit")
        << Adder(addByTyping) << QString(gintMax - 3, u'q') << 0 << qsizetype(3) << true;
    QTest::newRow("typing past the limit")
        << Adder(addByTyping) << QString(gintMax, u'q') << 0 << qsizetype(1) << false;
    QTest::newRow("typing over a selection at the limit")
        << Adder(addByTyping) << QString(gintMax, u'q') << 1 << qsizetype(1) << true;
}

void tst_CTextField::takesWhatFitsAndRefusesTheRest()
{
    QFETCH(Adder, fnAdd);
    QFETCH(QString, strBefore);
    QFETCH(int, intSelected);
    QFETCH(qsizetype, intAdded);
    QFETCH(bool, bTaken);
    // GIVEN a box with some text, the caret or a selection at its end
    CTextField objField(nullptr);
    connect(&objField, &CTextField::Refused, this,
            [this](const QString& strMessage) { mlstMessages << strMessage; });
    objField.setText(strBefore);
    objField.setSelection(strBefore.size(), -intSelected);
    const QString strAdded = QString(intAdded, u'x');

    // WHEN text is added
    fnAdd(objField, strAdded);
    QApplication::processEvents();

    // THEN it is taken whole, or the box is as it was and the user is told the limit
    if (bTaken) {
        QCOMPARE(objField.text(), strBefore.chopped(intSelected) + strAdded);
        QCOMPARE(mlstMessages, QStringList());
    } else {
        QCOMPARE(objField.text().size(), strBefore.size());
        QCOMPARE(objField.text(), strBefore);
        QCOMPARE(mlstMessages.size(), 1);
        QVERIFY2(mlstMessages[0].contains(QLocale().toString(gintMax)),
                 qPrintable(mlstMessages[0]));
        QVERIFY2(mlstMessages[0].startsWith("A text box holds at most"),
                 qPrintable(mlstMessages[0]));
    }
}

void tst_CTextField::keyRepeatAtTheLimitShowsOneMessage()
{
    CTextField objField(nullptr);
    connect(&objField, &CTextField::Refused, this,
            [this](const QString& strMessage) { mlstMessages << strMessage; });
    objField.setText(QString(gintMax, u'q'));
    for (int i = 0; i < 20; ++i)
        QTest::keyClick(&objField, Qt::Key_N, Qt::NoModifier, 0);
    QApplication::processEvents();
    QCOMPARE(mlstMessages.size(), 1);
    QCOMPARE(mlstMessages[0],
             QString("A text box holds at most %1 characters; this one would have %2. "
                     "Its text was left as it was.")
                 .arg(QLocale().toString(gintMax), QLocale().toString(gintMax + 1)));
    // Once the refusal is reported, the next refused key tells again.
    QTest::keyClick(&objField, Qt::Key_N);
    QApplication::processEvents();
    QCOMPARE(mlstMessages.size(), 2);
    QCOMPARE(objField.text(), QString(gintMax, u'q'));
}

QTEST_MAIN(tst_CTextField)
#include "tst_CTextField.moc"
