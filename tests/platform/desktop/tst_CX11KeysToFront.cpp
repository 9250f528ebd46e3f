#include <CDesktop.h>
#include <CFormWindow.h>
#include <CModality.h>
#include <CWrappingButton.h>

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace {
struct Key
{
    char chKey;          // a lower-case letter or a digit
    uint16_t uModifiers; // X11's modifier mask: Mod1 is Alt, Mod4 Super
};
using Keys = QList<Key>;

Key alt(char chKey)
{
    return {chKey, XCB_MOD_MASK_1};
}

Keys typed(const char* pszText)
{
    Keys lstKeys;
    for (const char* p = pszText; *p; ++p)
        lstKeys.push_back({*p, 0});
    return lstKeys;
}

xcb_keycode_t keycodeOf(xcb_connection_t* pConnection, char chKey)
{
    const xcb_setup_t* pSetup = xcb_get_setup(pConnection);
    const int intCount = pSetup->max_keycode - pSetup->min_keycode + 1;
    const std::unique_ptr<xcb_get_keyboard_mapping_reply_t, decltype(&std::free)> pMapping(
        xcb_get_keyboard_mapping_reply(
            pConnection, xcb_get_keyboard_mapping(pConnection, pSetup->min_keycode, intCount),
            nullptr),
        &std::free);
    if (!pMapping)
        return 0;
    const xcb_keysym_t* pSymbols = xcb_get_keyboard_mapping_keysyms(pMapping.get());
    const int intSymbols = xcb_get_keyboard_mapping_keysyms_length(pMapping.get());
    for (int i = 0; i < intSymbols; ++i) {
        if (pSymbols[i] == xcb_keysym_t(chKey)) // Latin letters and digits are their ASCII codes
            return xcb_keycode_t(pSetup->min_keycode + i / pMapping->keysyms_per_keycode);
    }
    return 0;
}

// Has the X server send lstKeys to objWindow, all in one go and stamped with
// the same millisecond, as it sends the keys of a barcode scanner.
bool sendKeys(xcb_connection_t* pConnection, const QWindow& objWindow, const Keys& lstKeys)
{
    xcb_key_press_event_t objEvent = {};
    objEvent.root = xcb_setup_roots_iterator(xcb_get_setup(pConnection)).data->root;
    objEvent.event = xcb_window_t(objWindow.winId());
    objEvent.same_screen = 1;
    objEvent.time = 1000;
    for (const Key& objKey : lstKeys) {
        objEvent.detail = keycodeOf(pConnection, objKey.chKey);
        if (!objEvent.detail)
            return false;
        objEvent.state = objKey.uModifiers;
        for (uint8_t uType : {XCB_KEY_PRESS, XCB_KEY_RELEASE}) {
            objEvent.response_type = uType;
            xcb_send_event(pConnection, false, objEvent.event, XCB_EVENT_MASK_NO_EVENT,
                           reinterpret_cast<const char*>(&objEvent));
        }
    }
    xcb_flush(pConnection);
    return true;
}

// Keeps the focus events of the X server from the program from the moment
// the dialog opens until it is first hidden, as mutter's refusal to give a
// dialog the keyboard looks to the program: the window beneath keeps it.
struct KeyboardWithheld : QAbstractNativeEventFilter
{
    bool nativeEventFilter(const QByteArray& strType, void* pMessage, qintptr*) override
    {
        if (!bWithheld || strType != "xcb_generic_event_t")
            return false;
        const auto* pEvent = static_cast<const xcb_generic_event_t*>(pMessage);
        const auto enmType = pEvent->response_type & 0x7f;
        if (enmType == XCB_UNMAP_NOTIFY &&
            reinterpret_cast<const xcb_unmap_notify_event_t*>(pEvent)->window == idDialog)
            bWithheld = false;
        return enmType == XCB_FOCUS_IN || enmType == XCB_FOCUS_OUT;
    }

    bool bWithheld = false;
    xcb_window_t idDialog = XCB_NONE;
};

// A main window whose Alt+A opens a modal dialog and whose Alt+R counts, and
// the dialog: Name and Other boxes, Alt+T moving to Other, Alt+O closing it
// and keeping what the boxes hold as "name/other".
struct Windows
{
    Windows() : objMain([] {}), objDialog([this] { objDialog.hide(); })
    {
        objMain.resize(240, 120);
        auto* pAdd = new CWrappingButton(QStringLiteral("&Add"), &objMain);
        pAdd->move(0, 40);
        auto* pRemove = new CWrappingButton(QStringLiteral("&Remove"), &objMain);
        pRemove->move(100, 40);
        QObject::connect(pRemove, &QPushButton::clicked, [this] { ++intRemoves; });
        QObject::connect(pAdd, &QPushButton::clicked, [this] { openDialog(); });

        objDialog.resize(240, 120);
        pName = new QLineEdit(&objDialog);
        pName->move(60, 0);
        auto* pLabel = new QLabel(QStringLiteral("O&ther"), &objDialog);
        pLabel->move(0, 30);
        pOther = new QLineEdit(&objDialog);
        pOther->move(60, 30);
        pLabel->setBuddy(pOther);
        auto* pOK = new CWrappingButton(QStringLiteral("&OK"), &objDialog);
        pOK->move(60, 60);
        QObject::connect(pOK, &QPushButton::clicked, [this] {
            strStored = pName->text() + u'/' + pOther->text();
            objDialog.hide();
        });
        objDialog.BecomeDialogOf(&objMain);
    }

    void openDialog()
    {
        ++intOpenings;
        pName->clear();
        pOther->clear();
        pName->setFocus();
        objWithheld.idDialog = xcb_window_t(objDialog.winId());
        objWithheld.bWithheld = bWithholdKeyboard;
        QEventLoop objLoop;
        QObject::connect(&objDialog, &CFormWindow::Hidden, &objLoop, &QEventLoop::quit);
        // Keys that never reach the dialog would leave it open for good.
        QTimer::singleShot(5000, &objDialog, [this] { objDialog.hide(); });
        objDialog.show();
        objDialog.activateWindow();
        objLoop.exec(QEventLoop::DialogExec);
        bClosed = true;
    }

    KeyboardWithheld objWithheld;
    bool bWithholdKeyboard = false;
    CFormWindow objMain;
    CFormWindow objDialog;
    QLineEdit* pName = nullptr;
    QLineEdit* pOther = nullptr;
    QString strStored;
    int intRemoves = 0;
    int intOpenings = 0;
    bool bClosed = false;
};
} // namespace

class tst_CX11KeysToFront : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void burstReadBeforeWindowOpens_data();
    void burstReadBeforeWindowOpens();
    void keysPassedOnAreNotHeldAgain();
};

void tst_CX11KeysToFront::initTestCase()
{
    CDesktop::Install();
}

void tst_CX11KeysToFront::burstReadBeforeWindowOpens_data()
{
    QTest::addColumn<Keys>("lstKeys");
    QTest::addColumn<QString>("strStored");
    QTest::addColumn<int>("intRemoves");
    QTest::addColumn<bool>("bWithholdKeyboard");

    const Key objAltO = alt('o');
    QTest::newRow("typed ahead") << (Keys{alt('a')} + typed("k1") + Keys{objAltO}) << "k1/" << 0
                                 << false;
    QTest::newRow("main window's access key")
        << (Keys{alt('a'), alt('r')} + typed("x") + Keys{objAltO}) << "x/" << 0 << false;
    QTest::newRow("command keys")
        << (Keys{alt('a')} + typed("x") +
            Keys{alt('q'), alt('x'), alt('1'), {'k', XCB_MOD_MASK_4}, objAltO})
        << "x/" << 0 << false;
    QTest::newRow("dialog's access key")
        << (Keys{alt('a')} + typed("y") + Keys{alt('t')} + typed("2") + Keys{objAltO}) << "y/2" << 0
        << false;
    QTest::newRow("keys after it closes")
        << (Keys{alt('a')} + typed("z") + Keys{objAltO, alt('r')}) << "z/" << 1 << false;
    QTest::newRow("the same letter with and without Alt")
        << (Keys{alt('a')} + typed("z") + Keys{objAltO, alt('a')} + typed("a") + Keys{objAltO})
        << "a/" << 0 << false;
    QTest::newRow("dialog the window system gives no keyboard")
        << (Keys{alt('a')} + typed("k1") + Keys{objAltO}) << "k1/" << 0 << true;
}

// Keys the window system has already handed over, all for the main window,
// when the first of them opens the dialog: each reaches the window in front
// when its turn comes, as a fast typist or a barcode scanner meant it.
void tst_CX11KeysToFront::burstReadBeforeWindowOpens()
{
    QFETCH(Keys, lstKeys);
    QFETCH(QString, strStored);
    QFETCH(int, intRemoves);
    QFETCH(bool, bWithholdKeyboard);

    Windows objWindows;
    objWindows.bWithholdKeyboard = bWithholdKeyboard;
    qApp->installNativeEventFilter(&objWindows.objWithheld);
    objWindows.objMain.show();
    objWindows.objMain.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&objWindows.objMain));
    auto* pX11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!pX11)
        QSKIP("Keys go through an X server");
    QVERIFY(sendKeys(pX11->connection(), *objWindows.objMain.windowHandle(), lstKeys));
    QTRY_VERIFY_WITH_TIMEOUT(objWindows.bClosed, 20000);
    QCoreApplication::processEvents();
    QCOMPARE(objWindows.strStored, strStored);
    QCOMPARE(objWindows.intRemoves, intRemoves);
    // Each Alt+A opened the dialog once.
    QCOMPARE(objWindows.intOpenings,
             std::count_if(lstKeys.cbegin(), lstKeys.cend(), [](const Key& objKey) {
                 return objKey.chKey == 'a' && objKey.uModifiers == XCB_MOD_MASK_1;
             }));
}

// CDesktop shows each key to CX11KeysToFront before the router may take it:
// a key the router passed on to the window in front is not held again, and
// typed twice, when a window that Qt knows to be modal opens later.
void tst_CX11KeysToFront::keysPassedOnAreNotHeldAgain()
{
    auto* pX11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!pX11)
        QSKIP("Keys go through an X server");
    // GIVEN the main window with the keyboard, and the dialog shown modally
    // over it the program's own way
    Windows objWindows;
    objWindows.objMain.show();
    objWindows.objMain.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&objWindows.objMain));
    objWindows.objDialog.hide();
    objWindows.objDialog.setWindowModality(Qt::NonModal);
    const CModality::Showing objShowing(objWindows.objDialog);
    objWindows.objDialog.show();
    objWindows.pName->setFocus();
    // WHEN keys for the main window go to the dialog, and then a window Qt
    // knows to be modal opens and takes the keyboard
    QVERIFY(sendKeys(pX11->connection(), *objWindows.objMain.windowHandle(), typed("xy")));
    QTRY_COMPARE(objWindows.pName->text(), QString("xy"));
    CFormWindow objBox([] {});
    auto* pBoxText = new QLineEdit(&objBox);
    objBox.setWindowModality(Qt::ApplicationModal);
    objBox.show();
    objBox.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&objBox));
    pBoxText->setFocus();
    QVERIFY(sendKeys(pX11->connection(), *objBox.windowHandle(), typed("z")));
    // THEN it gets only the key typed for it
    QTRY_VERIFY(pBoxText->text().contains(u'z'));
    QCOMPARE(pBoxText->text(), QString("z"));
    QCOMPARE(objWindows.pName->text(), QString("xy"));
}

QTEST_MAIN(tst_CX11KeysToFront)
#include "tst_CX11KeysToFront.moc"
