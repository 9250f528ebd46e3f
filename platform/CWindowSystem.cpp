#include "CWindowSystem.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>

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

// The window system Qt runs on, asked once.
const QString& platform()
{
    static const QString strPlatform = QGuiApplication::platformName();
    return strPlatform;
}

bool isWayland()
{
    return platform().startsWith(u"wayland");
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
    if (platform() == u"xcb")
        qApp->installNativeEventFilter(pWindowSystem);
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

bool CWindowSystem::nativeEventFilter(const QByteArray& strType, void* pMessage, qintptr*)
{
    // Qt on X11 passes the keyboard given to a blocked window on to the modal
    // window and never reports the blocked window active; the window system
    // may have raised it all the same.
    if (strType != "xcb_generic_event_t")
        return false;
    const auto* pEvent = static_cast<const xcb_generic_event_t*>(pMessage);
    const auto enmType = pEvent->response_type & 0x7f;
    if (enmType != XCB_FOCUS_IN && enmType != XCB_FOCUS_OUT)
        return false;
    const auto* pFocus = reinterpret_cast<const xcb_focus_in_event_t*>(pEvent);
    if (pFocus->detail == XCB_NOTIFY_DETAIL_POINTER)
        return false;
    midFocus = enmType == XCB_FOCUS_IN ? pFocus->event : 0;
    if (QWidget* pModal = QApplication::activeModalWidget(); pModal && blockedHasFocus())
        QTimer::singleShot(0, pModal, [this, pModal] { bringModalToFront(*pModal); });
    return false;
}

bool CWindowSystem::blockedHasFocus() const
{
    const QWidget* pModal = QApplication::activeModalWidget();
    for (const QWidget* pWindow : QApplication::topLevelWidgets()) {
        if (pWindow->internalWinId() == midFocus)
            return pModal && pWindow != pModal && pWindow->isVisible();
    }
    return false;
}

bool CWindowSystem::eventFilter(QObject* pReceiver, QEvent* pEvent)
{
    // A window that a modal window blocks has been given the keyboard: the
    // user clicked it or picked it in a taskbar, and the window system may
    // have raised it over the modal window.
    // (Qt on X11 never reports it: the native filter above watches for it.)
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
    QTimer::singleShot(ActivationWaitMilliseconds, &objModal, [this, pModal = &objModal] {
        if (pModal->isVisible() && pModal == QApplication::activeModalWidget() && blockedHasFocus())
            showAnew(*pModal);
    });
}
