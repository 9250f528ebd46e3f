#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QWidget>

class QWindow;

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
    // Whether Qt runs on X11 (Xwayland included).
    static bool IsX11();

    // The top-level widget whose window objWindow is, or nullptr.
    static QWidget* WidgetOf(const QWindow& objWindow);

    // Raises the window and gives it the keyboard; on Wayland, only a window
    // already showing is asked to take it.
    static void Activate(QWidget& objWindow);

    // The modality a window shown modally is given. On Wayland the program
    // blocks the windows beneath it itself (see ModalShowing), and Qt is
    // told nothing: Qt drops keys for a blocked window, and the compositor
    // sends keys typed while the modal window opens to the window beneath
    // until it gives the new window the keyboard.
    static Qt::WindowModality DialogModality();

    // While it lives, objWindow, shown modally, is in front of every window
    // of the program that it does not own, which take no clicks, wheel,
    // touch, close request or key of their own while it shows. Nested ones
    // end in the reverse order.
    class ModalShowing
    {
    public:
        explicit ModalShowing(QWidget& objWindow);
        ~ModalShowing();
        ModalShowing(const ModalShowing&) = delete;
        ModalShowing& operator=(const ModalShowing&) = delete;
    };

    // The modal window in front: Qt's (a message box), else the window
    // shown modally last that still shows; nullptr if none.
    static QWidget* ModalWindow();
    // Whether objWindow is shown modally now.
    static bool IsModal(const QWidget& objWindow);
    // Whether the modal window in front blocks the top-level objWindow.
    static bool IsBlocked(const QWidget& objWindow);

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
