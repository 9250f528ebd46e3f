#include "CX11KeysToFront.h"

#include "CModality.h"
#include "CX11Focus.h"

#include <QKeyEvent>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace {
// The bit the X server sets in the type of an event a client sent.
constexpr uint8_t SentBit = 0x80;
// Marks, in the padding of a key event that the X server passes on
// unchanged, a key this program sent itself again.
constexpr uint8_t SentAgainMark = 0xc5;
// How long held keys wait for the window in front to get the keyboard;
// then they are sent to it all the same.
constexpr int WaitMilliseconds = 1000;
// How often, for the same held keys, the window in front is brought back
// when the window system left the keyboard with a window beneath it; then
// the keys wait for the keyboard to move (a click).
constexpr int RecoveriesMax = 3;
// Keys handed to Qt that are remembered until it delivers them, and keys
// held at most: a burst longer than this loses its oldest keys.
constexpr qsizetype UndeliveredMax = 256;
constexpr qsizetype HeldMax = 256;

bool isPress(const xcb_key_press_event_t& objKey)
{
    return (objKey.response_type & ~SentBit) == XCB_KEY_PRESS;
}
} // namespace

CX11KeysToFront::CX11KeysToFront(xcb_connection_t* pConnection) : mpConnection(pConnection)
{
    mobjWaitTimer.setSingleShot(true);
    QObject::connect(&mobjWaitTimer, &QTimer::timeout, &mobjWaitTimer, [this] { waitEnded(); });
}

bool CX11KeysToFront::FilterX11(xcb_generic_event_t& objEvent)
{
    switch (objEvent.response_type & ~SentBit) {
    case XCB_KEY_PRESS:
    case XCB_KEY_RELEASE:
        return takeKey(reinterpret_cast<xcb_key_press_event_t&>(objEvent));
    default:
        return false;
    }
}

void CX11KeysToFront::KeyboardMoved()
{
    sendHeldIfTaken();
}

// Qt gives the window that has the keyboard the keys that come after, unless
// it is blocked or gone; so do the keys held, sent again after this event.
void CX11KeysToFront::sendHeldIfTaken()
{
    const xcb_window_t idTarget = CX11Focus::KeyTarget();
    const QWindow* pTarget = CX11Focus::WindowOf(idTarget);
    if (!mlstHeld.isEmpty() && pTarget && idTarget == CX11Focus::Window() &&
        !CX11Focus::IsBlocked(pTarget))
        sendHeldTo(idTarget);
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
    const xcb_window_t idTarget =
        CX11Focus::KeyTarget() != XCB_NONE ? CX11Focus::KeyTarget() : objKey.event;
    if (!CX11Focus::WindowOf(objKey.event)) {
        // Qt drops a key for a window it no longer has.
        hold(objKey, bSentAgain);
        sendHeldIfTaken();
        return true;
    }
    if (!mlstHeld.isEmpty() || CX11Focus::IsBlocked(CX11Focus::WindowOf(idTarget))) {
        // A key sent again came before every key held since it was sent.
        hold(objKey, bSentAgain);
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

void CX11KeysToFront::hold(const xcb_key_press_event_t& objKey, bool bAhead)
{
    if (mlstHeld.size() == HeldMax) {
        qWarning("Corvale: more than %lld keys waited for a window to take them; the oldest "
                 "was dropped",
                 qlonglong(HeldMax));
        mlstHeld.removeFirst();
        mintHeldAhead = std::max<qsizetype>(0, mintHeldAhead - 1);
    }
    if (bAhead)
        mlstHeld.insert(mintHeldAhead++, objKey);
    else
        mlstHeld.append(objKey);
    if (!mobjWaitTimer.isActive())
        mobjWaitTimer.start(WaitMilliseconds);
}

// Qt drops the keys it read for objBlocked and has not delivered yet: they
// wait, ahead of any key held since.
void CX11KeysToFront::holdUndelivered(const QWindow& objBlocked)
{
    QList<xcb_key_press_event_t> lstDropped;
    for (qsizetype i = 0; i < mlstUndelivered.size();) {
        if (CX11Focus::WindowOf(mlstUndelivered[i].event) == &objBlocked)
            lstDropped.append(mlstUndelivered.takeAt(i));
        else
            ++i;
    }
    if (lstDropped.isEmpty())
        return;
    const qsizetype intRoom = std::max<qsizetype>(0, HeldMax - mlstHeld.size());
    mlstHeld = lstDropped.mid(0, intRoom) + mlstHeld;
    mintHeldAhead += std::min(lstDropped.size(), intRoom);
    if (!mobjWaitTimer.isActive())
        mobjWaitTimer.start(WaitMilliseconds);
}

void CX11KeysToFront::sendHeldTo(xcb_window_t idWindow)
{
    mobjWaitTimer.stop();
    mintHeldAhead = 0;
    mintRecoveries = 0;
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

// The window in front has not had the keyboard for a while.
void CX11KeysToFront::waitEnded()
{
    QWidget* pFront = CModality::FrontWindow();
    const QWindow* pFrontWindow = pFront ? pFront->windowHandle() : nullptr;
    if (!pFrontWindow || !pFrontWindow->handle() || CX11Focus::IsBlocked(pFrontWindow))
        return; // the keys wait for a window to take the keyboard
    if (!CX11Focus::IsBlocked(CX11Focus::WindowOf(CX11Focus::KeyTarget()))) {
        // The keys go to it all the same.
        sendHeldTo(xcb_window_t(pFront->winId()));
        return;
    }
    // The window system left the keyboard with a window beneath it, where Qt
    // would drop the keys again: the window in front is brought back, and the
    // keys wait for it to get the keyboard.
    if (mintRecoveries == RecoveriesMax)
        return;
    ++mintRecoveries;
    CModality::BringToFront(*pFront);
    mobjWaitTimer.start(WaitMilliseconds);
}

void CX11KeysToFront::FilterEvent(QObject* pReceiver, QEvent* pEvent)
{
    auto* pWindow = qobject_cast<QWindow*>(pReceiver);
    if (!pWindow)
        return;
    switch (pEvent->type()) {
    case QEvent::WindowBlocked:
        // Sent as the modal window opens, before the keys Qt has read are
        // delivered.
        holdUndelivered(*pWindow);
        return;
    case QEvent::ShortcutOverride:
    case QEvent::KeyRelease:
        // A key press reaches the window first as the question whether a
        // shortcut takes it.
        if (pEvent->spontaneous())
            delivered(static_cast<QKeyEvent&>(*pEvent));
        return;
    default:
        return;
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
