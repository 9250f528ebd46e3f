#include "CKeyboardRouter.h"

#include "CModality.h"
#include "CWindowSystem.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <QWindow>

namespace {
// How long the window beneath a closing modal window holds the keyboard at
// most while the window system passes the focus back to it.
constexpr int HoldMilliseconds = 500;
// Keys taken at their shortcut check whose press has not come yet.
constexpr qsizetype TakenMax = 32;

bool hasCommandModifier(const QKeyEvent& objKey)
{
    return objKey.modifiers() & (Qt::AltModifier | Qt::ControlModifier | Qt::MetaModifier);
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
            // Pressed, then focused, as CWrappingButton does.
            const QPointer<QAbstractButton> pPressed = pButton;
            pButton->click();
            if (pPressed && (pPressed->focusPolicy() & Qt::TabFocus) && pPressed->isVisible() &&
                pPressed->isEnabled())
                pPressed->setFocus(Qt::ShortcutFocusReason);
            return true;
        }
    }
    for (QLabel* pLabel : objWindow.findChildren<QLabel*>()) {
        QWidget* pBuddy = pLabel->buddy();
        if (pBuddy && pLabel->window() == &objWindow &&
            QKeySequence::mnemonic(pLabel->text()) == objPressed && pBuddy->isVisible() &&
            pBuddy->isEnabled()) {
            pBuddy->setFocus(Qt::ShortcutFocusReason);
            return true;
        }
    }
    return false;
}

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

CKeyboardRouter::CKeyboardRouter()
{
    mobjHoldTimer.setSingleShot(true);
    QObject::connect(&mobjHoldTimer, &QTimer::timeout, &mobjHoldTimer,
                     [this] { releaseKeyboard(); });
}

bool CKeyboardRouter::FilterEvent(QObject* pReceiver, QEvent* pEvent)
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
            pWindow && pWindow->isVisible() && CWindowSystem::WidgetOf(*pWindow))
            holdKeyboardFor(*pWindow);
        return false;
    default:
        return false;
    }
}

bool CKeyboardRouter::routeKey(QWindow& objWindow, QKeyEvent& objKey)
{
    QWidget* pFront = CModality::FrontWindow();
    QWidget* pTarget = CWindowSystem::WidgetOf(objWindow);
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

// A key taken at its shortcut check is not pressed again. Keys typed fast
// share a timestamp, and a key taken may open a window whose modal loop
// takes further keys before the press of the first one comes.
void CKeyboardRouter::rememberTaken(const QKeyEvent& objKey)
{
    if (mlstTaken.size() == TakenMax)
        mlstTaken.removeFirst();
    mlstTaken.append({objKey.timestamp(), objKey.keyCombination()});
}

bool CKeyboardRouter::wasTaken(const QKeyEvent& objKey)
{
    return mlstTaken.removeOne(Taken{objKey.timestamp(), objKey.keyCombination()});
}

void CKeyboardRouter::holdKeyboardFor(QWindow& objWindow)
{
    // The closing window gives up the keyboard before the window system hands
    // it to the window beneath; keys typed meanwhile would go to no window at
    // all. The window beneath holds it from before the closing window goes
    // until the window system has had time to hand it over. It is not let go
    // when the window beneath becomes active: holding it makes the window
    // system report it active, wherever the focus really is.
    if (!CWindowSystem::IsX11() || !objWindow.setKeyboardGrabEnabled(true))
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
