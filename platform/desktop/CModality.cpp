#include "CModality.h"

#include "CFormWindow.h"
#include "CWindowSystem.h"
#include "CX11Focus.h"

#include <QApplication>
#include <QEvent>
#include <QList>
#include <QTimer>
#include <QWindow>

#include <algorithm>

namespace {
// How long an X11 window manager may take to give a modal window the
// keyboard when asked, before the window is shown anew instead.
constexpr int ActivationWaitMilliseconds = 250;

// The windows shown modally, the last one in front.
QList<const CModality::Showing*>& showings()
{
    static QList<const CModality::Showing*> lstShowings;
    return lstShowings;
}

// The window shown modally last that still shows.
QWidget* lastModalWindow()
{
    const QList<const CModality::Showing*>& lstShowings = showings();
    for (auto it = lstShowings.crbegin(); it != lstShowings.crend(); ++it) {
        if (QWidget* pWindow = (*it)->Window(); pWindow && pWindow->isVisible())
            return pWindow;
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

// Whether a window that the modal window in front blocks has the keyboard,
// as the X server last said.
bool blockedHasKeyboard()
{
    const WId idFocus = CX11Focus::Window();
    for (const QWidget* pWindow : QApplication::topLevelWidgets()) {
        if (idFocus != 0 && pWindow->internalWinId() == idFocus)
            return pWindow->isVisible() && CModality::IsBlocked(*pWindow);
    }
    return false;
}
} // namespace

CModality::Showing::Showing(QWidget& objWindow) : mpWindow(&objWindow)
{
    showings().append(this);
}

CModality::Showing::~Showing()
{
    showings().removeOne(this);
}

QWidget* CModality::ModalWindow()
{
    if (QWidget* pModal = QApplication::activeModalWidget())
        return pModal;
    return lastModalWindow();
}

QWidget* CModality::FrontWindow()
{
    if (QWidget* pModal = ModalWindow())
        return pModal;
    QWidget* pFront = nullptr;
    for (QWidget* pWidget : QApplication::topLevelWidgets()) {
        if (!pWidget->isVisible() || !qobject_cast<CFormWindow*>(pWidget))
            continue;
        if (pWidget->isActiveWindow())
            return pWidget;
        pFront = pWidget;
    }
    return pFront;
}

bool CModality::IsModal(const QWidget& objWindow)
{
    return objWindow.isModal() ||
           std::any_of(showings().cbegin(), showings().cend(),
                       [&](const Showing* pShowing) { return pShowing->Window() == &objWindow; });
}

bool CModality::IsBlocked(const QWidget& objWindow)
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

void CModality::BringToFront(QWidget& objModal)
{
    // Wayland compositors are not told that a window is modal, and some only
    // mark a window that asks for the keyboard as urgent.
    if (CWindowSystem::IsWayland()) {
        CWindowSystem::ShowAnew(objModal);
        return;
    }
    // X11 window managers keep a modal window above its owner and pass it the
    // keyboard when asked; a Wayland compositor running X11 programs may not.
    CWindowSystem::Activate(objModal);
    QTimer::singleShot(ActivationWaitMilliseconds, &objModal, [pModal = &objModal] {
        if (pModal->isVisible() && pModal == ModalWindow() && blockedHasKeyboard())
            CWindowSystem::ShowAnew(*pModal);
    });
}

bool CModality::FilterEvent(QObject* pReceiver, QEvent* pEvent)
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
    // have raised it over the modal window. (Qt on X11 never reports it:
    // KeyboardMoved does.)
    if (pEvent->type() != QEvent::WindowActivate || !pReceiver->isWidgetType())
        return false;
    auto* pActivated = static_cast<QWidget*>(pReceiver);
    if (pActivated->isWindow() && IsBlocked(*pActivated))
        BringToFront(*ModalWindow());
    return false;
}

void CModality::KeyboardMoved()
{
    // Qt on X11 passes the keyboard given to a blocked window on to the modal
    // window and never reports the blocked window active; the window system
    // may have raised it all the same.
    if (QWidget* pModal = ModalWindow(); pModal && blockedHasKeyboard())
        QTimer::singleShot(0, pModal, [pModal] { BringToFront(*pModal); });
}
