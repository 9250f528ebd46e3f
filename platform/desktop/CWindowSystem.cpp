#include "CWindowSystem.h"

#include <QApplication>
#include <QList>
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

// The windows shown modally, the last one in front.
QList<QPointer<QWidget>>& modalWindows()
{
    static QList<QPointer<QWidget>> lstWindows;
    return lstWindows;
}

// The window shown modally last that still shows.
QWidget* lastModalWindow()
{
    const QList<QPointer<QWidget>>& lstWindows = modalWindows();
    for (auto it = lstWindows.crbegin(); it != lstWindows.crend(); ++it) {
        if (*it && (*it)->isVisible())
            return *it;
    }
    return nullptr;
}

// The top-level widget of a widget or of a widget's window.
QWidget* windowOf(QObject* pObject)
{
    if (pObject->isWidgetType())
        return static_cast<QWidget*>(pObject)->window();
    if (auto* pWindow = qobject_cast<QWindow*>(pObject))
        return CWindowSystem::WidgetOf(*pWindow);
    return nullptr;
}

// Input that a window blocked by a modal window does not take. Keys are
// the keyboard router's: it sends a key that reaches a window other than
// the one in front to the window in front.
bool isBlockedInput(const QEvent& objEvent)
{
    switch (objEvent.type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::ContextMenu:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
        return true;
    case QEvent::Close:
        // The window system's close request; the program's own closing
        // goes on.
        return objEvent.spontaneous();
    default:
        return false;
    }
}
} // namespace

CWindowSystem::ModalShowing::ModalShowing(QWidget& objWindow)
{
    modalWindows().append(&objWindow);
}

CWindowSystem::ModalShowing::~ModalShowing()
{
    modalWindows().removeLast();
}

Qt::WindowModality CWindowSystem::DialogModality()
{
    return isWayland() ? Qt::NonModal : Qt::ApplicationModal;
}

QWidget* CWindowSystem::ModalWindow()
{
    if (QWidget* pModal = QApplication::activeModalWidget())
        return pModal;
    return lastModalWindow();
}

bool CWindowSystem::IsModal(const QWidget& objWindow)
{
    return objWindow.isModal() || modalWindows().contains(&objWindow);
}

bool CWindowSystem::IsBlocked(const QWidget& objWindow)
{
    const QWidget* pModal = ModalWindow();
    if (!pModal || !objWindow.isWindow())
        return false;
    // A window the modal window owns (its menus, its message boxes) is not.
    for (const QWidget* pOwner = &objWindow; pOwner; pOwner = pOwner->parentWidget()) {
        if (pOwner == pModal)
            return false;
    }
    return true;
}

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
    if (IsX11())
        qApp->installNativeEventFilter(pWindowSystem);
}

CWindowSystem::CWindowSystem(QObject* pParent) : QObject(pParent) {}

bool CWindowSystem::CanPlaceWindows()
{
    return !isWayland();
}

bool CWindowSystem::IsX11()
{
    return platform() == u"xcb";
}

QWidget* CWindowSystem::WidgetOf(const QWindow& objWindow)
{
    for (QWidget* pWidget : QApplication::topLevelWidgets()) {
        if (pWidget->windowHandle() == &objWindow)
            return pWidget;
    }
    return nullptr;
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
    if (QWidget* pModal = ModalWindow(); pModal && blockedHasFocus())
        QTimer::singleShot(0, pModal, [this, pModal] { bringModalToFront(*pModal); });
    return false;
}

bool CWindowSystem::blockedHasFocus() const
{
    for (const QWidget* pWindow : QApplication::topLevelWidgets()) {
        if (pWindow->internalWinId() == midFocus)
            return pWindow->isVisible() && IsBlocked(*pWindow);
    }
    return false;
}

bool CWindowSystem::eventFilter(QObject* pReceiver, QEvent* pEvent)
{
    if (isBlockedInput(*pEvent)) {
        // Qt blocks the windows beneath a window it knows to be modal; the
        // program blocks them beneath one shown modally without Qt's
        // modality. Keys reach a window first, then its controls: the
        // keyboard router sends those at a window to the window in front.
        const QWidget* pModal = lastModalWindow();
        if (!pModal || pModal->windowModality() != Qt::NonModal)
            return false;
        const bool bKeyAtWindow =
            !pReceiver->isWidgetType() &&
            (pEvent->type() == QEvent::KeyPress || pEvent->type() == QEvent::KeyRelease);
        const QWidget* pWindow = windowOf(pReceiver);
        return !bKeyAtWindow && pWindow && IsBlocked(*pWindow);
    }
    // A window that a modal window blocks has been given the keyboard: the
    // user clicked it or picked it in a taskbar, and the window system may
    // have raised it over the modal window.
    // (Qt on X11 never reports it: the native filter above watches for it.)
    if (pEvent->type() != QEvent::WindowActivate || !pReceiver->isWidgetType())
        return false;
    auto* pActivated = static_cast<QWidget*>(pReceiver);
    if (pActivated->isWindow() && IsBlocked(*pActivated))
        bringModalToFront(*ModalWindow());
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
        if (pModal->isVisible() && pModal == ModalWindow() && blockedHasFocus())
            showAnew(*pModal);
    });
}
