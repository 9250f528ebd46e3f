#include <CError.h>
#include <CForm.h>
#include <CKeyboardRouter.h>
#include <CMessageBox.h>
#include <CTextField.h>
#include <CWindowSystem.h>
#include <CWrappingButton.h>

#include "LayoutPixels.h"
#include "WindowTesting.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStyledItemDelegate>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QWindow>

namespace {
const ControlLayout gControls[] = {
    {ControlKind::Label, "lblName", "&Name", 100, 100, 900, 315, AlignRight},
    {ControlKind::TextBox, "txtName", nullptr, 1100, 100, 1500, 315},
    {ControlKind::CommandButton, "cmdGo", "&Go", 3000, 100, 1215, 495, DefaultButton},
    {ControlKind::CommandButton, "cmdStop", "&Stop", 3000, 700, 1215, 495, CancelButton},
    {ControlKind::CommandButton, "cmdLong", "&Display Customer Data", 3000, 1300, 1215, 495},
    {ControlKind::Frame, "Frame1", "Things", 360, 900, 1935, 1935},
    {ControlKind::ListBox, "lstThings", nullptr, 240, 360, 1335, 1230, Sorted, "Frame1"},
    {ControlKind::CommandButton, "cmdFail", "&Fail", 3000, 1900, 1215, 495},
};
const FormLayout gLayout = {"frmTest", "Test Form", 4635, 3900, gControls};

const ControlLayout gModalControls[] = {
    {ControlKind::TextBox, "txtField", nullptr, 100, 100, 1500, 315},
    {ControlKind::CommandButton, "cmdOK", "&OK", 1800, 100, 1215, 495, DefaultButton},
    {ControlKind::CommandButton, "cmdCancel", "&Cancel", 1800, 700, 1215, 495, CancelButton},
};
const FormLayout gModalLayout = {"frmModal", "Modal Form", 3200, 1400, gModalControls};

class frmModal : public CForm
{
public:
    frmModal() : CForm(gModalLayout)
    {
        OnClick("cmdOK", [this] { Hide(); });
        OnClick("cmdCancel", [this] { Hide(); });
    }

    using CForm::TextBox;
};

class frmTest : public CForm
{
public:
    frmTest() : CForm(gLayout)
    {
        OnClick("cmdGo", [this] { lstEvents << "Go"; });
        OnClick("cmdStop", [this] {
            lstEvents << "Stop";
            Hide();
        });
        OnClick("cmdLong", [this] { lstEvents << "Long"; });
        OnClick("cmdFail", [this] {
            lstEvents << "Fail";
            throw CError("The thing could not be done.");
        });
        OnDblClick("lstThings", [this] { lstEvents << "DblClick"; });
    }

    using CForm::CommandButton;
    using CForm::Label;
    using CForm::ListBox;
    using CForm::TextBox;
    QStringList lstEvents;

private:
    void Form_Load() override { lstEvents << "Load"; }
    void Form_Activate() override { lstEvents << "Activate"; }
    void Form_Unload() override { lstEvents << "Unload"; }
    void Form_QueryUnload() override
    {
        lstEvents << "QueryUnload";
        Hide();
    }
};

// A window whose text box stands in a frame it does not have.
const ControlLayout gBrokenControls[] = {
    {ControlKind::TextBox, "txtLost", nullptr, 100, 100, 1500, 315, NoFlags, "fraMissing"},
};
const FormLayout gBrokenLayout = {"frmBroken", "Broken Form", 3200, 1400, gBrokenControls};

class frmBroken : public CForm
{
public:
    frmBroken() : CForm(gBrokenLayout) {}
};

// Handlers bound to a control that has no such event, or to none at all.
class frmMisbound : public CForm
{
public:
    frmMisbound() : CForm(gModalLayout) {}

    void Bind(const QString& strHow)
    {
        if (strHow == u"double click on a button")
            OnDblClick("cmdOK", [] {});
        else if (strHow == u"click on a text box")
            OnClick("txtField", [] {});
        else
            OnClick("cmdMissing", [] {});
    }
};

// A start form that ends the program as it loads, as it shows, or once the
// event loop runs.
class frmEnding : public CForm
{
public:
    frmEnding() : CForm(gModalLayout) {}

    QString strWhen;

private:
    void Form_Load() override { endIf(u"load"); }
    void Form_Activate() override
    {
        endIf(u"activate");
        if (strWhen == u"in the event loop")
            QTimer::singleShot(0, qApp, [] { End(); });
    }
    void endIf(QStringView strStep)
    {
        if (strWhen == strStep)
            End();
    }
};

template <class T = QWidget> T& widget(const char* pszName)
{
    auto* pWidget = CForm::Get<frmTest>().Window()->findChild<T*>(pszName);
    Q_ASSERT(pWidget);
    return *pWidget;
}
} // namespace

class tst_CForm : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void layoutInPixels();
    void tabOrderAndNames();
    void captionsShareOneSizeAndFit_data();
    void captionsShareOneSizeAndFit();
    void keys_data();
    void keys();
    void accessKeys_data();
    void accessKeys();
    void commandKeysNeverType_data();
    void commandKeysNeverType();
    void keysGoToTheWindowInFront();
    void windowsBeneathTheModalWindowTakeNoInput_data();
    void windowsBeneathTheModalWindowTakeNoInput();
    void listIndexFollowsItsEntry_data();
    void listIndexFollowsItsEntry();
    void listRefusesBadIndexes();
    void listKeysAndMouse_data();
    void listKeysAndMouse();
    void listShowsControlCharacters_data();
    void listShowsControlCharacters();
    void listRowsFollowTheFont();
    void textBoxTakesUpToItsLimit();
    void messageBoxIsPlain_data();
    void messageBoxIsPlain();
    void failureIsShownAndStopsHandler();
    void lifecycle();
    void failedBuildLeavesFormUnloaded_data();
    void failedBuildLeavesFormUnloaded();
    void endStopsTheRunWheneverCalled_data();
    void endStopsTheRunWheneverCalled();

private:
    QList<QPair<QString, QString>> mlstMessages; // title, text
};

void tst_CForm::init()
{
    mlstMessages.clear();
    CMessageBox::SetObserver([this](const QMessageBox& objBox) {
        mlstMessages.append({objBox.windowTitle(), objBox.text()});
    });
    CForm::Get<frmTest>().Show();
    QVERIFY(QTest::qWaitForWindowActive(CForm::Get<frmTest>().Window()));
    CForm::Get<frmTest>().lstEvents.clear();
}

void tst_CForm::cleanup()
{
    CMessageBox::SetObserver({});
    releaseForms();
}

void tst_CForm::layoutInPixels()
{
    QWidget& objWindow = *CForm::Get<frmTest>().Window();
    QCOMPARE(objWindow.size(), layoutPixels("frmTest", "window").size());
    QCOMPARE(objWindow.windowTitle(), QString("Test Form"));
    QCOMPARE(widget("cmdGo").geometry(), layoutPixels("frmTest", "cmdGo"));
    QCOMPARE(widget("txtName").geometry(), layoutPixels("frmTest", "txtName"));
    // Inside a frame, positions are relative to the frame.
    QCOMPARE(widget("lstThings").parentWidget(), &widget("Frame1"));
    QCOMPARE(widget("lstThings").geometry(), layoutPixels("frmTest", "lstThings"));
    QCOMPARE(widget<QLabel>("lblName").alignment(), Qt::AlignRight | Qt::AlignVCenter);
    const QRect rctAvailable = QGuiApplication::primaryScreen()->availableGeometry();
    // Centred to within the width of the window frame.
    const QPoint ptOffset = objWindow.frameGeometry().center() - rctAvailable.center();
    QVERIFY2(ptOffset.manhattanLength() <= 8,
             qPrintable(QString("%1,%2").arg(ptOffset.x()).arg(ptOffset.y())));
}

void tst_CForm::tabOrderAndNames()
{
    QWidget& objWindow = *CForm::Get<frmTest>().Window();
    QCOMPARE(tabOrder(objWindow),
             (QStringList{"txtName=Name", "cmdGo=Go", "cmdStop=Stop",
                          "cmdLong=Display Customer Data", "lstThings=Things", "cmdFail=Fail"}));
    QCOMPARE(widget<QLabel>("lblName").buddy(), &widget("txtName"));
}

void tst_CForm::captionsShareOneSizeAndFit_data()
{
    QTest::addColumn<qreal>("dblDesktopPoints"); // 0: the application's own font
    QTest::newRow("default font") << 0.0;
    QTest::newRow("9 pt desktop") << 9.0;
    QTest::newRow("11 pt desktop") << 11.0;
    QTest::newRow("14 pt desktop") << 14.0;
    QTest::newRow("20 pt desktop") << 20.0;
}

void tst_CForm::captionsShareOneSizeAndFit()
{
    QFETCH(qreal, dblDesktopPoints);
    // GIVEN the desktop's font, WHEN the form is loaded
    const auto restore = desktopFont(dblDesktopPoints);
    if (dblDesktopPoints > 0)
        CForm::Get<frmTest>().Show();
    QWidget& objWindow = *CForm::Get<frmTest>().Window();

    // THEN the window grows in proportion with a larger desktop font, never
    // shrinks below its table, and every control keeps its place in it
    const QSize objTable = layoutPixels("frmTest", "window").size();
    const qreal dblScale = qreal(objWindow.width()) / objTable.width();
    QVERIFY2(dblScale >= 1.0, qPrintable(QString::number(dblScale)));
    if (dblDesktopPoints <= 9.0)
        QCOMPARE(objWindow.size(), objTable);
    else
        QVERIFY2(dblScale >= dblDesktopPoints / 9.0 - 0.01, qPrintable(QString::number(dblScale)));
    QVERIFY(qAbs(objWindow.height() - objTable.height() * dblScale) <= 1);
    const QRect rctGo = widget("cmdGo").geometry();
    const QRect rctGoTable = layoutPixels("frmTest", "cmdGo");
    QVERIFY(qAbs(rctGo.left() - rctGoTable.left() * dblScale) <= 1 &&
            qAbs(rctGo.width() - rctGoTable.width() * dblScale) <= 1);

    // AND every caption is in one font and size, none below 8 pt, none clipped
    const qreal dblPoints = objWindow.font().pointSizeF();
    QVERIFY2(dblPoints >= 8.0, qPrintable(QString::number(dblPoints)));
    for (const QWidget* pWidget : objWindow.findChildren<QWidget*>()) {
        if (!pWidget->isVisibleTo(&objWindow))
            continue;
        const QFontMetrics objMetrics(pWidget->font());
        QString strCaption;
        QRect rctSpace = pWidget->contentsRect();
        int intFlags = Qt::TextSingleLine;
        if (const auto* pButton = qobject_cast<const CWrappingButton*>(pWidget)) {
            strCaption = pButton->text().remove(u'&');
            rctSpace = pButton->rect().adjusted(2, 2, -2, -2);
            intFlags = Qt::TextWordWrap;
        } else if (const auto* pLabel = qobject_cast<const QLabel*>(pWidget)) {
            strCaption = pLabel->text().remove(u'&');
        } else if (const auto* pFrame = qobject_cast<const QGroupBox*>(pWidget)) {
            strCaption = pFrame->title();
        } else if (const auto* pEdit = qobject_cast<const QLineEdit*>(pWidget)) {
            // Typed text keeps its ascenders and descenders.
            QVERIFY2(objMetrics.height() + 4 <= pEdit->height(), qPrintable(pEdit->objectName()));
            continue;
        } else {
            continue;
        }
        const QByteArray strWhat = pWidget->objectName().toUtf8();
        QCOMPARE(pWidget->font().pointSizeF(), dblPoints);
        const QRect rctNeeded = objMetrics.boundingRect(rctSpace, intFlags, strCaption);
        QVERIFY2(rctNeeded.width() <= rctSpace.width(), strWhat);
        QVERIFY2(rctNeeded.height() <= rctSpace.height(), strWhat);
    }
}

void tst_CForm::keys_data()
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

void tst_CForm::keys()
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

void tst_CForm::accessKeys_data()
{
    QTest::addColumn<int>("intKey");
    QTest::addColumn<QString>("strEvent");
    QTest::addColumn<QString>("strFocus");
    QTest::newRow("button") << int(Qt::Key_G) << "Go"
                            << "";
    QTest::newRow("wrapped button") << int(Qt::Key_D) << "Long"
                                    << "";
    QTest::newRow("cancel button") << int(Qt::Key_S) << "Stop"
                                   << "";
    QTest::newRow("label to its box") << int(Qt::Key_N) << ""
                                      << "txtName";
}

void tst_CForm::accessKeys()
{
    QFETCH(int, intKey);
    QFETCH(QString, strEvent);
    QFETCH(QString, strFocus);
    frmTest& objForm = CForm::Get<frmTest>();
    widget("lstThings").setFocus();
    QTRY_VERIFY(widget("lstThings").hasFocus());
    QTest::keyClick(objForm.Window()->windowHandle(), Qt::Key(intKey), Qt::AltModifier);
    // At once, so that the keys typed next reach whatever the press opens.
    if (!strEvent.isEmpty())
        QCOMPARE(objForm.lstEvents, QStringList{strEvent});
    if (!strFocus.isEmpty()) {
        QTRY_VERIFY(widget(strFocus.toUtf8().constData()).hasFocus());
        QTest::qWait(150);
        QCOMPARE(objForm.lstEvents, QStringList());
    }
}

void tst_CForm::commandKeysNeverType_data()
{
    QTest::addColumn<int>("intKey");
    QTest::addColumn<int>("intModifiers");
    QTest::addColumn<QString>("strAfter");
    QTest::newRow("plain letter types") << int(Qt::Key_X) << 0 << "abx";
    QTest::newRow("Alt+letter") << int(Qt::Key_X) << int(Qt::AltModifier) << "ab";
    QTest::newRow("Alt+digit") << int(Qt::Key_1) << int(Qt::AltModifier) << "ab";
    QTest::newRow("Alt+Shift+letter")
        << int(Qt::Key_X) << int(Qt::AltModifier | Qt::ShiftModifier) << "ab";
    QTest::newRow("Super+letter") << int(Qt::Key_K) << int(Qt::MetaModifier) << "ab";
    QTest::newRow("Ctrl+letter") << int(Qt::Key_K) << int(Qt::ControlModifier) << "ab";
    QTest::newRow("Ctrl+Alt+letter")
        << int(Qt::Key_K) << int(Qt::ControlModifier | Qt::AltModifier) << "ab";
}

void tst_CForm::commandKeysNeverType()
{
    QFETCH(int, intKey);
    QFETCH(int, intModifiers);
    QFETCH(QString, strAfter);
    frmTest& objForm = CForm::Get<frmTest>();
    objForm.TextBox("txtName").setText("ab");
    objForm.TextBox("txtName").SetFocus();
    QTRY_VERIFY(widget("txtName").hasFocus());
    // As the window system delivers keys: to the window, shortcuts first.
    QTest::keyClick(objForm.Window()->windowHandle(), Qt::Key(intKey),
                    Qt::KeyboardModifiers(intModifiers));
    QCOMPARE(objForm.TextBox("txtName").Text(), strAfter);
    QCOMPARE(objForm.lstEvents, QStringList());
}

void tst_CForm::keysGoToTheWindowInFront()
{
    // GIVEN a modal window over the form
    frmTest& objMain = CForm::Get<frmTest>();
    objMain.TextBox("txtName").SetFocus();
    frmModal& objModal = CForm::Get<frmModal>();
    QString strTypedInModal;
    QStringList lstEventsMeanwhile;
    whenModal([&] {
        QVERIFY(objModal.IsVisible());
        QWindow* pModal = objModal.Window()->windowHandle();
        // WHEN keys are typed, the form's access keys among them
        for (char chr : {'a', 'b', 'c'})
            QTest::keyClick(pModal, chr);
        QTest::keyClick(pModal, Qt::Key_G, Qt::AltModifier);
        QTest::keyClick(pModal, Qt::Key_S, Qt::AltModifier);
        strTypedInModal = objModal.TextBox("txtField").Text();
        lstEventsMeanwhile = objMain.lstEvents;
        // AND Enter closes it, and the next keys still arrive at the closed
        // window, as they do until the window system moves the keyboard
        QTest::keyClick(pModal, Qt::Key_Return);
        for (char chr : {'x', 'y'})
            QTest::keyClick(pModal, chr);
    });
    objModal.ShowModal();

    // THEN each key went to the window in front, in order, and the form's
    // access keys never acted behind the modal window
    QCOMPARE(strTypedInModal, QString("abc"));
    QCOMPARE(lstEventsMeanwhile, QStringList());
    QVERIFY(!objModal.IsVisible());
    QCOMPARE(objModal.TextBox("txtField").Text(), QString("abc"));
    QCOMPARE(objMain.TextBox("txtName").Text(), QString("xy"));
    QCOMPARE(objMain.lstEvents, QStringList());
}

void tst_CForm::windowsBeneathTheModalWindowTakeNoInput_data()
{
    QTest::addColumn<QString>("strInput"); // a click on Go or OK, or the close request
    QTest::addColumn<bool>("bModalShowing");
    QTest::addColumn<QStringList>("lstEvents");
    QTest::addColumn<bool>("bModalAfter");
    QTest::newRow("a click beneath") << "Go" << true << QStringList() << true;
    QTest::newRow("a click in the modal window") << "OK" << true << QStringList() << false;
    QTest::newRow("a click once it hides") << "Go" << false << QStringList{"Go"} << false;
    QTest::newRow("the close request beneath") << "close" << true << QStringList() << true;
    QTest::newRow("the close request once it hides")
        << "close" << false << QStringList{"QueryUnload"} << false;
}

void tst_CForm::windowsBeneathTheModalWindowTakeNoInput()
{
    QFETCH(QString, strInput);
    QFETCH(bool, bModalShowing);
    QFETCH(QStringList, lstEvents);
    QFETCH(bool, bModalAfter);
    // GIVEN a window shown modally without Qt's modality, as on Wayland
    frmTest& objMain = CForm::Get<frmTest>();
    frmModal& objModal = CForm::Get<frmModal>();
    objModal.Load();
    const CWindowSystem::ModalShowing objShowing(*objModal.Window());
    objModal.Show();
    QVERIFY(QTest::qWaitForWindowExposed(objModal.Window()));
    if (!bModalShowing)
        objModal.Hide();
    QCOMPARE(CKeyboardRouter::FrontWindow(), bModalShowing ? objModal.Window() : objMain.Window());
    // WHEN a button is clicked, or the window system asks the main window to close
    if (strInput == u"close")
        objMain.Window()->windowHandle()->close();
    else if (strInput == u"OK")
        QTest::mouseClick(objModal.Window()->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
    else
        QTest::mouseClick(&widget<QPushButton>("cmdGo"), Qt::LeftButton);
    // THEN the main window takes it only once the modal window has gone
    QCOMPARE(objMain.lstEvents, lstEvents);
    QCOMPARE(objModal.IsVisible(), bModalAfter);
}

void tst_CForm::listIndexFollowsItsEntry_data()
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

void tst_CForm::listIndexFollowsItsEntry()
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

void tst_CForm::listRefusesBadIndexes()
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

void tst_CForm::listKeysAndMouse_data()
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

void tst_CForm::listKeysAndMouse()
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

void tst_CForm::listShowsControlCharacters_data()
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

void tst_CForm::listShowsControlCharacters()
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

void tst_CForm::listRowsFollowTheFont()
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

void tst_CForm::textBoxTakesUpToItsLimit()
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

void tst_CForm::messageBoxIsPlain_data()
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

void tst_CForm::messageBoxIsPlain()
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

void tst_CForm::failureIsShownAndStopsHandler()
{
    frmTest& objForm = CForm::Get<frmTest>();
    widget<QPushButton>("cmdFail").click();
    QCOMPARE(objForm.lstEvents, QStringList{"Fail"});
    QCOMPARE(mlstMessages.size(), 1);
    QCOMPARE(mlstMessages[0].first, QString("Corvale"));
    QCOMPARE(mlstMessages[0].second, QString("The thing could not be done."));
    // The program goes on.
    widget<QPushButton>("cmdGo").click();
    QCOMPARE(objForm.lstEvents, (QStringList{"Fail", "Go"}));
}

void tst_CForm::lifecycle()
{
    frmTest& objForm = CForm::Get<frmTest>();
    objForm.Hide();
    whenModal([&] {
        QTRY_VERIFY(objForm.IsVisible());
        // The modal window blocks the others: a second window stays blocked.
        widget<QPushButton>("cmdStop").click();
    });
    objForm.ShowModal();
    QVERIFY(!objForm.IsVisible());
    QCOMPARE(objForm.lstEvents, (QStringList{"Activate", "Stop"}));

    // Hiding keeps the controls' contents; unloading loses them.
    objForm.TextBox("txtName").setText("kept");
    objForm.Show();
    QCOMPARE(objForm.TextBox("txtName").Text(), QString("kept"));
    objForm.lstEvents.clear();
    objForm.Unload();
    objForm.Unload();
    QCOMPARE(objForm.lstEvents, QStringList{"Unload"});
    QVERIFY(!objForm.IsLoaded());
    QCOMPARE(objForm.TextBox("txtName").Text(), QString());
    QCOMPARE(objForm.lstEvents, (QStringList{"Unload", "Load"}));

    // The frame's close button goes to the form, which here only hides.
    objForm.Show();
    objForm.Window()->close();
    QVERIFY(objForm.IsLoaded());
    QVERIFY(!objForm.IsVisible());
    QCOMPARE(objForm.lstEvents.last(), QString("QueryUnload"));
}

void tst_CForm::failedBuildLeavesFormUnloaded_data()
{
    QTest::addColumn<QString>("strHow"); // empty: a control in a frame that is not there
    QTest::addColumn<QString>("strMessage");
    QTest::newRow("control in a missing frame")
        << QString() << QStringLiteral("This window has no control \"fraMissing\".");
    QTest::newRow("double click on a button")
        << QStringLiteral("double click on a button")
        << QStringLiteral("The control \"cmdOK\" has no DblClick event.");
    QTest::newRow("click on a text box")
        << QStringLiteral("click on a text box")
        << QStringLiteral("The control \"txtField\" has no Click event.");
    QTest::newRow("click on a missing control")
        << QStringLiteral("click on a missing control")
        << QStringLiteral("This window has no control \"cmdMissing\".");
}

void tst_CForm::failedBuildLeavesFormUnloaded()
{
    QFETCH(QString, strHow);
    QFETCH(QString, strMessage);
    releaseForms();
    CForm& objForm =
        strHow.isEmpty() ? static_cast<CForm&>(CForm::Get<frmBroken>()) : CForm::Get<frmMisbound>();
    if (!strHow.isEmpty())
        CForm::Get<frmMisbound>().Bind(strHow);
    // Each attempt fails the same way, and leaves nothing behind.
    for (int intAttempt = 0; intAttempt < 2; ++intAttempt) {
        try {
            objForm.Load();
            QFAIL("the form loaded");
        } catch (const CError& objError) {
            QCOMPARE(objError.Message(), strMessage);
        }
        QVERIFY(!objForm.IsLoaded());
        QCOMPARE(objForm.Window(), nullptr);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(QApplication::topLevelWidgets(), QWidgetList());
    }
}

void tst_CForm::endStopsTheRunWheneverCalled_data()
{
    QTest::addColumn<QString>("strWhen");
    QTest::newRow("as the start form loads") << QStringLiteral("load");
    QTest::newRow("as it shows") << QStringLiteral("activate");
    QTest::newRow("in the event loop") << QStringLiteral("in the event loop");
}

void tst_CForm::endStopsTheRunWheneverCalled()
{
    QFETCH(QString, strWhen);
    // GIVEN a start form that ends the program at some step
    releaseForms();
    CForm::Get<frmEnding>().strWhen = strWhen;
    // A run that never ends is stopped, and reported, after a long while.
    QTimer objWatchdog;
    objWatchdog.setSingleShot(true);
    QObject::connect(&objWatchdog, &QTimer::timeout, qApp, [] { QCoreApplication::exit(1); });
    objWatchdog.start(30'000);

    // WHEN the program runs
    const int intResult = CForm::Run<frmEnding>();

    // THEN the run ends at once, ended it stays, and every form is gone
    QCOMPARE(intResult, 0);
    QVERIFY(CForm::HasEnded());
    QCOMPARE(QApplication::topLevelWidgets(), QWidgetList());
}

QTEST_MAIN(tst_CForm)
#include "tst_CForm.moc"
