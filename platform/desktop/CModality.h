#pragma once

#include <QPointer>
#include <QWidget>

class QEvent;
class QObject;

// Which window is in front and which windows are shown modally. A window
// shown modally is in front of every window of the program that it does not
// own; those take no clicks, wheel, touch, close request or keys of their own
// while it shows (Qt blocks them on X11, this class on Wayland, where Qt is
// told nothing: CWindowSystem::DialogModality), and one of them that the
// window system brings forward sends the modal window back in front.
class CModality
{
public:
    // While it lives, objWindow is shown modally. Nested ones may end in any
    // order; each takes away its own window.
    class Showing
    {
    public:
        explicit Showing(QWidget& objWindow);
        ~Showing();
        Showing(const Showing&) = delete;
        Showing& operator=(const Showing&) = delete;

        QWidget* Window() const { return mpWindow; }

    private:
        QPointer<QWidget> mpWindow;
    };

    // The modal window in front: Qt's (a message box), else the window
    // shown modally last that still shows; nullptr if none.
    static QWidget* ModalWindow();
    // The window that takes the keyboard now: the modal window in front,
    // else the active form window, else the form window shown last; or
    // nullptr.
    static QWidget* FrontWindow();
    // Whether objWindow is shown modally now.
    static bool IsModal(const QWidget& objWindow);
    // Whether the modal window in front blocks the top-level objWindow.
    static bool IsBlocked(const QWidget& objWindow);

    // Puts objModal back in front of the windows beneath it, one of which
    // has the keyboard: asks for it to be activated and, where the window
    // system does not give it the keyboard then, shows it anew.
    static void BringToFront(QWidget& objModal);

    // For CDesktop: every event of the application, and on X11 each time the
    // keyboard moved (CX11Focus).
    static bool FilterEvent(QObject* pReceiver, QEvent* pEvent);
    static void KeyboardMoved();
};
