#include "CX11KeysToFront.h"

#include "CKeyboardRouter.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QWidget>
#include <QWindow>

namespace {
// The bit the X server sets in the type of an event a client sent.
constexpr uint8_t SentBit = 0x80;
// Marks, in the padding of a key event that the X server passes on
// unchanged, a key this program sent itself again.
constexpr uint8_t SentAgainMark = 0xc5;
// How long held keys wait for the window in front to get the keyboard;
// then they are sent to it all the same.
constexpr int WaitMilliseconds = 1000;
// Keys handed to Qt that are remembered until it delivers them.
constexpr qsizetype UndeliveredMax = 256;

QWindow* windowOf(xcb_window_t idWindow)
{
    for (QWindow* pWindow : QGuiApplication::topLevelWindows()) {
        if (pWindow->handle() && pWindow->winId() == idWindow)
            return pWindow;
    }
    return nullptr;
}

bool isPress(const xcb_key_press_event_t& objKey)
{
    return (objKey.response_type & ~SentBit) == XCB_KEY_PRESS;
}
} // namespace

void CX11KeysToFront::Install()
{
    static QPointer<CX11KeysToFront> pKeysToFront;
    auto* pX11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (pKeysToFront || !pX11 || !pX11->connection())
        return;
    pKeysToFront = new CX11KeysToFront(pX11->connection());
    qGuiApp->installEventFilter(pKeysToFront);
    qGuiApp->installNativeEventFilter(pKeysToFront);
}

CX11KeysToFront::CX11KeysToFront(xcb_connection_t* pConnection)
    : QObject(qGuiApp), mpConnection(pConnection)
{
    mobjWaitTimer.setSingleShot(true);
    connect(&mobjWaitTimer, &QTimer::timeout, this, &CX11KeysToFront::sendHeldToFront);
}

bool CX11KeysToFront::nativeEventFilter(const QByteArray& strType, void* pMessage, qintptr*)
{
    if (strType != "xcb_generic_event_t")
        return false;
    auto* pEvent = static_cast<xcb_generic_event_t*>(pMessage);
    switch (pEvent->response_type & ~SentBit) {
    case XCB_KEY_PRESS:
    case XCB_KEY_RELEASE:
        return takeKey(*reinterpret_cast<xcb_key_press_event_t*>(pEvent));
    case XCB_FOCUS_IN: {
        // Qt gives the window the keys that come after, unless it is
        // blocked; so do the keys sent again after this event.
        const auto& objFocus = *reinterpret_cast<const xcb_focus_in_event_t*>(pEvent);
        if (objFocus.detail == XCB_NOTIFY_DETAIL_POINTER)
            return false;
        if (QWindow* pWindow = windowOf(objFocus.event); pWindow && !isBlocked(pWindow)) {
            midFocus = objFocus.event;
            if (!mlstHeld.isEmpty())
                sendHeldTo(midFocus);
        }
        return false;
    }
    case XCB_FOCUS_OUT:
        if (reinterpret_cast<const xcb_focus_out_event_t*>(pEvent)->detail !=
            XCB_NOTIFY_DETAIL_POINTER)
            midFocus = XCB_NONE;
        return false;
    default:
        return false;
    }
}

// Whether Qt is spared the key: held back, or sent again behind the keys
// already on their way back.
bool CX11KeysToFront::takeKey(xcb_key_press_event_t& objKey)
{
    const bool bSentAgain = (objKey.response_type & SentBit) && objKey.pad0 == SentAgainMark &&
                            !mlstSentAgain.isEmpty();
    if (bSentAgain)
        mlstSentAgain.removeFirst();
    // Qt gives a key to the window that has the keyboard, else to the one
    // the X server sent it to.
    const xcb_window_t idTarget = midFocus != XCB_NONE ? midFocus : objKey.event;
    if (!mlstHeld.isEmpty() || isBlocked(windowOf(idTarget))) {
        // A key sent again came before every key held since it was sent.
        if (bSentAgain)
            mlstHeld.insert(mintHeldAhead++, objKey);
        else
            mlstHeld.append(objKey);
        if (!mobjWaitTimer.isActive())
            mobjWaitTimer.start(WaitMilliseconds);
        return true;
    }
    if (!bSentAgain && !mlstSentAgain.isEmpty()) {
        sendAgain(objKey, idTarget);
        xcb_flush(mpConnection);
        return true;
    }
    if (mlstUndelivered.size() == UndeliveredMax)
        mlstUndelivered.removeFirst();
    mlstUndelivered.append(objKey);
    mlstUndelivered.back().event = idTarget;
    return false;
}

// Qt drops the keys it read for objBlocked and has not delivered yet: they
// wait, ahead of any key held since.
void CX11KeysToFront::holdUndelivered(const QWindow& objBlocked)
{
    QList<xcb_key_press_event_t> lstDropped;
    for (qsizetype i = 0; i < mlstUndelivered.size();) {
        if (windowOf(mlstUndelivered[i].event) == &objBlocked)
            lstDropped.append(mlstUndelivered.takeAt(i));
        else
            ++i;
    }
    if (lstDropped.isEmpty())
        return;
    mlstHeld = lstDropped + mlstHeld;
    mintHeldAhead += lstDropped.size();
    if (!mobjWaitTimer.isActive())
        mobjWaitTimer.start(WaitMilliseconds);
}

void CX11KeysToFront::sendHeldTo(xcb_window_t idWindow)
{
    mobjWaitTimer.stop();
    mintHeldAhead = 0;
    for (const xcb_key_press_event_t& objKey : std::exchange(mlstHeld, {}))
        sendAgain(objKey, idWindow);
    xcb_flush(mpConnection);
}

void CX11KeysToFront::sendAgain(xcb_key_press_event_t objKey, xcb_window_t idWindow)
{
    objKey.response_type &= ~SentBit;
    objKey.event = idWindow;
    objKey.child = XCB_NONE;
    objKey.pad0 = SentAgainMark;
    mlstSentAgain.append(objKey);
    // With no event mask, the X server sends it to the window's own client.
    xcb_send_event(mpConnection, false, idWindow, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char*>(&objKey));
}

// The window in front never got the keyboard: the keys go to it all the same.
void CX11KeysToFront::sendHeldToFront()
{
    QWidget* pFront = CKeyboardRouter::FrontWindow();
    if (pFront && pFront->windowHandle() && pFront->windowHandle()->handle() &&
        !isBlocked(pFront->windowHandle())) {
        sendHeldTo(xcb_window_t(pFront->winId()));
        return;
    }
    mlstHeld.clear();
    mintHeldAhead = 0;
}

bool CX11KeysToFront::eventFilter(QObject* pReceiver, QEvent* pEvent)
{
    auto* pWindow = qobject_cast<QWindow*>(pReceiver);
    if (!pWindow)
        return false;
    switch (pEvent->type()) {
    case QEvent::WindowBlocked:
        // Sent as the modal window opens, before the keys Qt has read are
        // delivered.
        mlstBlocked.removeAll(nullptr); // windows gone while blocked
        mlstBlocked.append(pWindow);
        holdUndelivered(*pWindow);
        return false;
    case QEvent::WindowUnblocked:
        mlstBlocked.removeAll(pWindow);
        return false;
    case QEvent::ShortcutOverride:
    case QEvent::KeyRelease:
        // A key press reaches the window first as the question whether a
        // shortcut takes it.
        if (pEvent->spontaneous())
            delivered(static_cast<QKeyEvent&>(*pEvent));
        return false;
    default:
        return false;
    }
}

// Forgets objKey, which Qt delivers, and the keys it dropped before it.
void CX11KeysToFront::delivered(const QKeyEvent& objKey)
{
    const auto itRead =
        std::find_if(mlstUndelivered.cbegin(), mlstUndelivered.cend(),
                     [&](const xcb_key_press_event_t& objRead) {
                         return objRead.time == objKey.timestamp() &&
                                objRead.detail == objKey.nativeScanCode() &&
                                isPress(objRead) == (objKey.type() == QEvent::ShortcutOverride);
                     });
    if (itRead != mlstUndelivered.cend())
        mlstUndelivered.erase(mlstUndelivered.cbegin(), itRead + 1);
}

bool CX11KeysToFront::isBlocked(const QWindow* pWindow) const
{
    return pWindow && mlstBlocked.contains(pWindow);
}
