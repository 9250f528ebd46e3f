#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QWidget>

// What differs between the window systems the program runs on. On X11 the
// program places its windows and the window manager keeps a modal window
// above the window it belongs to. On Wayland the compositor alone places
// windows and gives a window it newly shows the keyboard, and some
// compositors raise a window over its modal dialog.
class CWindowSystem : public QObject, public QAbstractNativeEventFilter
{
    Q_OBJECT

public:
    // Before the application starts: picks the window system for the
    // desktop, unless the user chose one. GNOME's compositor draws no title
    // bars for Wayland windows, so there the program runs through Xwayland,
    // where GNOME frames its windows as its own.
    static void ChoosePlatform();

    // Installs, once for the application, the watch that brings a modal
    // window back in front when a window it blocks is activated.
    static void Install();

    // Whether the program may place its windows (X11), or the window system
    // places them (Wayland).
    static bool CanPlaceWindows();

    // Raises the window and gives it the keyboard; on Wayland, only a window
    // already showing is asked to take it.
    static void Activate(QWidget& objWindow);

    bool nativeEventFilter(const QByteArray& strType, void* pMessage, qintptr* pResult) override;

protected:
    bool eventFilter(QObject* pReceiver, QEvent* pEvent) override;

private:
    explicit CWindowSystem(QObject* pParent);

    void bringModalToFront(QWidget& objModal);
    bool blockedHasFocus() const;

    // The X11 window that has the keyboard, as the X server last said.
    WId midFocus = 0;
};
