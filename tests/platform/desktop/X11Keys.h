#pragma once

// Keys the X server sends to the windows that the desktop's X11 tests type in.
#include <CFormWindow.h>
#include <CWrappingButton.h>

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

struct Key
{
    char chKey;          // a lower-case letter or a digit
    uint16_t uModifiers; // X11's modifier mask: Mod1 is Alt, Mod4 Super
};
using Keys = QList<Key>;

inline Key alt(char chKey)
{
    return {chKey, XCB_MOD_MASK_1};
}

inline Keys typed(const char* pszText)
{
    Keys lstKeys;
    for (const char* p = pszText; *p; ++p)
        lstKeys.push_back({*p, 0});
    return lstKeys;
}

inline xcb_keycode_t keycodeOf(xcb_connection_t* pConnection, char chKey)
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
inline bool sendKeys(xcb_connection_t* pConnection, const QWindow& objWindow, const Keys& lstKeys)
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
