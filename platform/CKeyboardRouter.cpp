#include "CKeyboardRouter.h"

#include "CFormWindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <QWindow>
#include <QtGui/private/qguiapplication_p.h>
#include <qpa/qwindowsysteminterface_p.h>

namespace {
// How long the window beneath a closing modal window holds the keyboard at
// most while the window system passes the focus back to it.
constexpr int HoldMilliseconds = 500;

bool hasCommandModifier(const QKeyEvent& objKey)
{
    return objKey.modifiers() & (Qt::AltModifier | Qt::ControlModifier | Qt::MetaModifier);
}

QWidget* widgetOf(const QWindow& objWindow)
{
    for (QWidget* pWidget : QApplication::topLevelWidgets()) {
        if (pWidget->windowHandle() == &objWindow)
            return pWidget;
    }
    return nullptr;
}

// Presses the button, or moves to the control, whose access key objKey is.
bool pressAccessKey(QWidget& objWindow, const QKeyEvent& objKey)
{
    const auto enmModifiers = objKey.modifiers() & ~Qt::KeypadModifier;
    if (enmModifiers != Qt::AltModifier)
        return false;
    const QKeySequence objPressed(QKeyCombination(Qt::AltModifier, Qt::Key(objKey.key())));
    for (QAbstractButton* pButton : objWindow.findChildren<QAbstractButton*>()) {
        if (pButton->shortcut() == objPressed && pButton->window() == &objWindow &&
            pButton->isVisible() && pButton->isEnabled()) {
            if (pButton->focusPolicy() & Qt::TabFocus)
                pButton->setFocus(Qt::ShortcutFocusReason);
            pButton->click();
            return true;
        }
    }
    for (QLabel* pLabel : objWindow.findChildren<QLabel*>()) {
        QWidget* pBuddy = pLabel->buddy();
        if (pBuddy && pLabel->window() == &objWindow &&
            QKeySequence::mnemonic(pLabel->text()) == objPressed &&
            pBuddy->isVisible() && pBuddy->isEnabled()) {
            pBuddy->setFocus(Qt::ShortcutFocusReason);
            return true;
        }
    }
    return false;
}

// Qt drops a key from the window system that is sent to a window beneath a
// modal one, before any event filter sees it. Until the window system hands
// a new modal window the keyboard, and for the keys it had already read when
// the window opened, that is where keys are sent: they go to the window in
// front instead, in the order they came.
class KeysToFront final : public QWindowSystemEventHandler
{
public:
    bool sendEvent(QWindowSystemInterfacePrivate::WindowSystemEvent* pEvent) override
    {
        if (pEvent->type == QWindowSystemInterfacePrivate::Key) {
            auto& objKey = static_cast<QWindowSystemInterfacePrivate::KeyEvent&>(*pEvent);
            QWidget* pFront = CKeyboardRouter::FrontWindow();
            QWindow* pFrontWindow = pFront ? pFront->windowHandle() : nullptr;
            if (objKey.window && pFrontWindow &&
                QGuiApplicationPrivate::instance()->isWindowBlocked(objKey.window))
                objKey.window = pFrontWindow;
        }
        return QWindowSystemEventHandler::sendEvent(pEvent);
    }
};

// Gives a key pressed for another window to objFront, as if pressed there;
// objKey is the press, or the shortcut check that comes before it.
void deliver(QWidget& objFront, const QKeyEvent& objKey)
{
    if (objKey.type() == QEvent::KeyRelease || pressAccessKey(objFront, objKey))
        return;
    QPointer<QWidget> pTarget = objFront.focusWidget() ? objFront.focusWidget() : &objFront;
    const QString strText = hasCommandModifier(objKey) ? QString() : objKey.text();
    QKeyEvent objPress(QEvent::KeyPress, objKey.key(), objKey.modifiers(), strText,
                       objKey.isAutoRepeat(), ushort(objKey.count()));
    QCoreApplication::sendEvent(pTarget, &objPress);
    // Released at once: the window that got the press never sees its release.
    QKeyEvent objRelease(QEvent::KeyRelease, objKey.key(), objKey.modifiers(), strText,
                         objKey.isAutoRepeat(), ushort(objKey.count()));
    if (pTarget)
        QCoreApplication::sendEvent(pTarget, &objRelease);
}
} // namespace

void CKeyboardRouter::Install()
{
    static QPointer<CKeyboardRouter> pRouter;
    if (pRouter || !qApp)
        return;
    pRouter = new CKeyboardRouter(qApp);
    qApp->installEventFilter(pRouter);
    static KeysToFront objKeysToFront;
    QWindowSystemInterfacePrivate::installWindowSystemEventHandler(&objKeysToFront);
}

CKeyboardRouter::CKeyboardRouter(QObject* pParent) : QObject(pParent)
{
    mobjHoldTimer.setSingleShot(true);
    connect(&mobjHoldTimer, &QTimer::timeout, this, &CKeyboardRouter::releaseKeyboard);
}

QWidget* CKeyboardRouter::FrontWindow()
{
    if (QWidget* pModal = QApplication::activeModalWidget())
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

bool CKeyboardRouter::eventFilter(QObject* pReceiver, QEvent* pEvent)
{
    switch (pEvent->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
        // Keys from the window system reach a window first, then its focused
        // control; they are routed at the window.
        if (auto* pWindow = qobject_cast<QWindow*>(pReceiver))
            return routeKey(*pWindow, static_cast<QKeyEvent&>(*pEvent));
        return false;
    case QEvent::WindowUnblocked:
        // Sent as the modal window above closes, before it gives up the
        // keyboard.
        if (auto* pWindow = qobject_cast<QWindow*>(pReceiver);
            pWindow && pWindow->isVisible() && widgetOf(*pWindow))
            holdKeyboardFor(*pWindow);
        return false;
    default:
        return false;
    }
}

bool CKeyboardRouter::routeKey(QWindow& objWindow, QKeyEvent& objKey)
{
    QWidget* pFront = FrontWindow();
    QWidget* pTarget = widgetOf(objWindow);
    if (!pFront || !pTarget)
        return false;
    if (pTarget != pFront) {
        // Each key press first asks whether a shortcut takes it: the key is
        // passed on at that first step, and the press that follows dropped.
        if (objKey.type() == QEvent::ShortcutOverride) {
            rememberTaken(objKey);
            deliver(*pFront, objKey);
        } else if (objKey.type() == QEvent::KeyPress && !wasTaken(objKey)) {
            deliver(*pFront, objKey);
        }
        objKey.accept();
        return true;
    }
    if (objKey.type() == QEvent::ShortcutOverride && !pFront->isActiveWindow() &&
        pressAccessKey(*pFront, objKey)) {
        // Until the window system hands the window in front the keyboard,
        // Qt leaves its access keys to the window that still has it.
        rememberTaken(objKey);
        objKey.accept();
        return true;
    }
    if (objKey.type() == QEvent::KeyPress && wasTaken(objKey)) {
        objKey.accept();
        return true;
    }
    if (objKey.type() == QEvent::KeyPress && hasCommandModifier(objKey) &&
        !objKey.text().isEmpty()) {
        // No shortcut took it; a text box must not take it as text.
        QKeyEvent objCommand(QEvent::KeyPress, objKey.key(), objKey.modifiers(),
                             objKey.nativeScanCode(), objKey.nativeVirtualKey(),
                             objKey.nativeModifiers(), QString(), objKey.isAutoRepeat(),
                             ushort(objKey.count()));
        QCoreApplication::sendEvent(&objWindow, &objCommand);
        objKey.setAccepted(objCommand.isAccepted());
        return true;
    }
    return false;
}

// A key taken at its shortcut check is not pressed again.
void CKeyboardRouter::rememberTaken(const QKeyEvent& objKey)
{
    mulTaken = objKey.timestamp();
    mintTakenKey = objKey.key();
}

bool CKeyboardRouter::wasTaken(const QKeyEvent& objKey)
{
    if (objKey.timestamp() != mulTaken || objKey.key() != mintTakenKey)
        return false;
    mintTakenKey = 0;
    return true;
}

void CKeyboardRouter::holdKeyboardFor(QWindow& objWindow)
{
    // The closing window gives up the keyboard before the window system hands
    // it to the window beneath; keys typed meanwhile would go to no window at
    // all. The window beneath holds it from before the closing window goes
    // until the window system has had time to hand it over. It is not let go
    // when the window beneath becomes active: holding it makes the window
    // system report it active, wherever the focus really is.
    if (QGuiApplication::platformName() != u"xcb" || !objWindow.setKeyboardGrabEnabled(true))
        return;
    mpHolding = &objWindow; // a grab moves from the window that held it before
    mobjHoldTimer.start(HoldMilliseconds);
}

void CKeyboardRouter::releaseKeyboard()
{
    if (mpHolding)
        mpHolding->setKeyboardGrabEnabled(false);
    mpHolding = nullptr;
}
