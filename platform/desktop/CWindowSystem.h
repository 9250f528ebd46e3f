#pragma once

#include <QByteArray>
#include <QString>
#include <Qt>

class QWidget;
class QWindow;

// Which window system the program runs on, and what differs between them. On
// X11 the program places its windows and the window manager keeps a modal
// window above the window it belongs to. On Wayland the compositor alone
// places windows and gives a window it newly shows the keyboard, and some
// compositors raise a window over its modal dialog.
//
// The answer is Qt's, asked once the application exists and kept; asking
// before is a programming error (std::logic_error).
class CWindowSystem
{
public:
    // Before the application starts: picks the window system for the
    // desktop, unless the user chose one. GNOME's compositor draws no title
    // bars for Wayland windows, so there the program runs through Xwayland,
    // where GNOME frames its windows as its own.
    static void ChoosePlatform();
    // What ChoosePlatform asks Qt for (QT_QPA_PLATFORM), given whether the
    // user chose already, the session's type (XDG_SESSION_TYPE) and its
    // desktops (XDG_CURRENT_DESKTOP); empty: Qt's own choice stands.
    static QByteArray PlatformFor(bool bUserChose, const QString& strSessionType,
                                  const QString& strDesktops);

    // Whether Qt runs on X11 (Xwayland included).
    static bool IsX11();
    static bool IsWayland();
    // Qt's offscreen platform, which the tests run on: no window system.
    static bool IsOffscreen();
    // Whether the program may place its windows (X11), or the window system
    // places them (Wayland).
    static bool CanPlaceWindows();

    // The top-level widget whose window objWindow is, or nullptr.
    static QWidget* WidgetOf(const QWindow& objWindow);

    // Raises the window and gives it the keyboard; on Wayland, only a window
    // already showing is asked to take it.
    static void Activate(QWidget& objWindow);

    // Shows a window anew, without the steps a widget's own hiding takes (a
    // dialog's event loop ends when it is hidden): every window system puts
    // a window it newly shows in front and gives it the keyboard.
    static void ShowAnew(QWidget& objWindow);

    // The modality a window shown modally is given. On Wayland the program
    // blocks the windows beneath it itself (CModality), and Qt is told
    // nothing: Qt drops keys for a blocked window, and the compositor sends
    // keys typed while the modal window opens to the window beneath until it
    // gives the new window the keyboard.
    static Qt::WindowModality DialogModality();
};
