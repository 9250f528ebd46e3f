#include "CWindowSystem.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace {
// How long an X11 window manager may take to give a modal window the
// keyboard when asked, before the window is shown anew instead.
constexpr int ActivationWaitMilliseconds = 250;

// Shows a modal window anew, still modal, without the steps a widget's own
// hiding takes (a dialog's event loop ends when it is hidden): every window
// system puts a window it newly shows in front and gives it the keyboard.
void showAnew(QWidget& objModal)
{
    QWindow* pWindow = objModal.windowHandle();
    if (!pWindow)
        return;
    pWindow->setVisible(false);
    pWindow->setVisible(true);
    if (CWindowSystem::CanPlaceWindows())
        CWindowSystem::Activate(objModal);
}

bool isWayland()
{
    static const bool bWayland = QGuiApplication::platformName().startsWith(u"wayland");
    return bWayland;
}
} // namespace

void CWindowSystem::ChoosePlatform()
{
    // The user's choice stands: QT_QPA_PLATFORM, or -platform, which Qt puts
    // before it.
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM") ||
        qEnvironmentVariable("XDG_SESSION_TYPE") != u"wayland")
        return;
    const QStringList lstDesktops = qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(u':');
    if (!lstDesktops.contains(QStringLiteral("GNOME"), Qt::CaseInsensitive))
        return;
    // Wayland after all where the session runs no Xwayland.
    qputenv("QT_QPA_PLATFORM", "xcb;wayland");
}

void CWindowSystem::Install()
{
    static QPointer<CWindowSystem> pWindowSystem;
    if (pWindowSystem || !qApp)
        return;
    pWindowSystem = new CWindowSystem(qApp);
    qApp->installEventFilter(pWindowSystem);
}

CWindowSystem::CWindowSystem(QObject* pParent) : QObject(pParent) {}

bool CWindowSystem::CanPlaceWindows()
{
    return !isWayland();
}

void CWindowSystem::Activate(QWidget& objWindow)
{
    // A Wayland compositor gives a window it newly shows the keyboard by
    // itself; asked as well, before it has stacked the window (even after
    // the window's first frame), mutter fails an assertion.
    const QWindow* pWindow = objWindow.windowHandle();
    if (isWayland() && !(pWindow && pWindow->isExposed()))
        return;
    objWindow.raise();
    objWindow.activateWindow();
}

bool CWindowSystem::eventFilter(QObject* pReceiver, QEvent* pEvent)
{
    // A window that a modal window blocks has been given the keyboard: the
    // user clicked it or picked it in a taskbar, and the window system may
    // have raised it over the modal window.
    if (pEvent->type() != QEvent::WindowActivate || !pReceiver->isWidgetType())
        return false;
    auto* pActivated = static_cast<QWidget*>(pReceiver);
    QWidget* pModal = QApplication::activeModalWidget();
    if (pActivated->isWindow() && pModal && pModal != pActivated && pModal->isVisible())
        bringModalToFront(*pModal);
    return false;
}

void CWindowSystem::bringModalToFront(QWidget& objModal)
{
    // Wayland compositors are not told that a window is modal, and some only
    // mark a window that asks for the keyboard as urgent.
    if (isWayland()) {
        showAnew(objModal);
        return;
    }
    // X11 window managers keep a modal window above its owner and pass it the
    // keyboard when asked; a Wayland compositor running X11 programs may not.
    Activate(objModal);
    QTimer::singleShot(ActivationWaitMilliseconds, &objModal, [pModal = &objModal] {
        const QWidget* pActive = QApplication::activeWindow();
        if (pModal->isVisible() && pModal == QApplication::activeModalWidget() && pActive &&
            pActive != pModal)
            showAnew(*pModal);
    });
}
