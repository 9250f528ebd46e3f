#pragma once

#include <QList>
#include <QTimer>

#include <xcb/xcb.h>

class QEvent;
class QKeyEvent;
class QObject;
class QWindow;

// Under X11, the keys typed between a modal window appearing and the window
// manager giving it the keyboard are sent by the X server to the window
// beneath, and Qt drops a key for a window beneath a modal one before any
// event filter sees it; so does it with the keys it had already read, but
// not yet delivered, when the modal window opened. Such keys are held back
// and, once the window in front has the keyboard, sent again by the X server
// to it, in the order they came, the keys typed meanwhile behind them. So
// are keys that come for a window the program no longer has (a message box
// just answered, often while keys sent to it again are on their way back),
// which Qt would drop: they go to the window that has the keyboard.
class CX11KeysToFront final
{
public:
    explicit CX11KeysToFront(xcb_connection_t* pConnection);

    // For CDesktop, after CX11Focus: whether Qt is spared the X server's
    // event; each event of the application; the keyboard moved.
    bool FilterX11(xcb_generic_event_t& objEvent);
    void FilterEvent(QObject* pReceiver, QEvent* pEvent);
    void KeyboardMoved();

private:
    bool takeKey(xcb_key_press_event_t& objKey);
    void sendHeldIfTaken();
    void hold(const xcb_key_press_event_t& objKey, bool bAhead);
    void holdUndelivered(const QWindow& objBlocked);
    void sendHeldTo(xcb_window_t idWindow);
    void sendAgain(xcb_key_press_event_t objKey, xcb_window_t idWindow);
    void waitEnded();
    void delivered(const QKeyEvent& objKey);

    xcb_connection_t* mpConnection;
    // Keys handed to Qt that it has not delivered yet.
    QList<xcb_key_press_event_t> mlstUndelivered;
    // Keys waiting for the window in front to get the keyboard.
    QList<xcb_key_press_event_t> mlstHeld;
    // How many of them came back from being sent again: they go first.
    qsizetype mintHeldAhead = 0;
    // Keys sent again that the X server has not sent back yet.
    QList<xcb_key_press_event_t> mlstSentAgain;
    QTimer mobjWaitTimer;
    // How often the window in front was brought back for the keys held now.
    int mintRecoveries = 0;
};
