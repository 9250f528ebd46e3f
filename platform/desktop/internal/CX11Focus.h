#pragma once

#include <QWidget>

#include <xcb/xcb.h>

class QEvent;
class QObject;
class QWindow;

// Under X11, the program's one record of where the keyboard is: the window
// the X server last gave it to, the window Qt gives keys to, and the windows
// Qt blocks beneath a window it knows to be modal. CDesktop passes it each
// event before any other filter, so that they read where the keyboard is
// now.
class CX11Focus
{
public:
    // The window that has the keyboard, as the X server last said; 0 if
    // none.
    static WId Window();
    // The window Qt gives the keys that come now to: the one the keyboard
    // last went to unless Qt blocked it (Qt then passes the keyboard on to
    // the modal window and keeps giving keys to the window it gave them to
    // before); XCB_NONE when the keyboard left, and Qt gives each key to the
    // window the X server sent it to.
    static xcb_window_t KeyTarget();
    // Whether Qt blocks pWindow beneath a window it knows to be modal.
    static bool IsBlocked(const QWindow* pWindow);
    // The program's window whose X window is idWindow, or nullptr.
    static QWindow* WindowOf(xcb_window_t idWindow);

    // Whether objEvent moved the keyboard; if so the record follows it.
    static bool FilterX11(const xcb_generic_event_t& objEvent);
    static void FilterEvent(QObject* pReceiver, QEvent* pEvent);
};
