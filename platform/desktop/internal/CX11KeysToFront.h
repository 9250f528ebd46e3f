#pragma once

#include <QAbstractNativeEventFilter>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <xcb/xcb.h>

class QKeyEvent;
class QWindow;

// Under X11, the keys typed between a modal window appearing and the window
// manager giving it the keyboard are sent by the X server to the window
// beneath, and Qt drops a key for a window beneath a modal one before any
// event filter sees it; so does it with the keys it had already read, but
// not yet delivered, when the modal window opened. Such keys are held back
// and, once the window in front has the keyboard, sent again by the X server
// to it, in the order they came, the keys typed meanwhile behind them.
class CX11KeysToFront final : public QObject, public QAbstractNativeEventFilter
{
    Q_OBJECT

public:
    // Installs it for the application when Qt runs on X11.
    static void Install();

    bool nativeEventFilter(const QByteArray& strType, void* pMessage, qintptr* pResult) override;

protected:
    bool eventFilter(QObject* pReceiver, QEvent* pEvent) override;

private:
    explicit CX11KeysToFront(xcb_connection_t* pConnection);

    bool takeKey(xcb_key_press_event_t& objKey);
    void holdUndelivered(const QWindow& objBlocked);
    void sendHeldTo(xcb_window_t idWindow);
    void sendAgain(xcb_key_press_event_t objKey, xcb_window_t idWindow);
    void sendHeldToFront();
    void delivered(const QKeyEvent& objKey);
    bool isBlocked(const QWindow* pWindow) const;

    xcb_connection_t* mpConnection;
    QList<QPointer<QWindow>> mlstBlocked;
    // The window that Qt gives the keys to, as it follows the X focus.
    xcb_window_t midFocus = XCB_NONE;
    // Keys handed to Qt that it has not delivered yet.
    QList<xcb_key_press_event_t> mlstUndelivered;
    // Keys waiting for the window in front to get the keyboard.
    QList<xcb_key_press_event_t> mlstHeld;
    // How many of them came back from being sent again: they go first.
    qsizetype mintHeldAhead = 0;
    // Keys sent again that the X server has not sent back yet.
    QList<xcb_key_press_event_t> mlstSentAgain;
    QTimer mobjWaitTimer;
};
