#include "CFormWindow.h"

#include "CModality.h"
#include "CWindowFrame.h"
#include "CWindowSystem.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <utility>

namespace {
// The frame the window manager last drew around a window of the program: the
// best guess for a window that has not been framed yet.
QMargins& lastFrame()
{
    static QMargins objMargins;
    return objMargins;
}

bool canPress(const QPushButton* pButton)
{
    return pButton && pButton->isVisible() && pButton->isEnabled();
}
} // namespace

CFormWindow::CFormWindow(std::function<void()> fnCloseRequested)
    : mfnCloseRequested(std::move(fnCloseRequested))
{}

void CFormWindow::BecomeDialogOf(QWidget* pOwner)
{
    constexpr Qt::WindowFlags enmDialog = Qt::Dialog | Qt::CustomizeWindowHint |
                                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                          Qt::WindowCloseButtonHint;
    if (windowType() != Qt::Dialog)
        setWindowFlags(enmDialog);
    setWindowModality(CWindowSystem::DialogModality());
    winId(); // the native window, so that it can be given its owner
    // Qt's offscreen platform, which has no window manager, loses track of
    // the active window when a window it shows again has an owner.
    if (pOwner && pOwner != this && pOwner->windowHandle() && !CWindowSystem::IsOffscreen())
        windowHandle()->setTransientParent(pOwner->windowHandle());
}

void CFormWindow::keyPressEvent(QKeyEvent* pEvent)
{
    const auto enmModifiers = pEvent->modifiers() & ~Qt::KeypadModifier;
    if (enmModifiers == Qt::NoModifier) {
        switch (pEvent->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (auto* pFocused = qobject_cast<QPushButton*>(focusWidget()); canPress(pFocused)) {
                pFocused->click();
                return;
            }
            if (canPress(mpDefault)) {
                mpDefault->click();
                return;
            }
            break;
        case Qt::Key_Escape:
            if (canPress(mpCancel)) {
                mpCancel->click();
                return;
            }
            // A window whose cancel button is hidden is still dismissed by
            // Esc, as its frame's close button would.
            if (mpCancel) {
                mfnCloseRequested();
                return;
            }
            break;
        default:
            break;
        }
    }
    QWidget::keyPressEvent(pEvent);
}

void CFormWindow::closeEvent(QCloseEvent* pEvent)
{
    // The form decides what closing means; the window itself never closes.
    pEvent->ignore();
    mfnCloseRequested();
}

void CFormWindow::setVisible(bool bVisible)
{
    QWidget::setVisible(bVisible);
    if (!bVisible)
        emit Hidden();
}

void CFormWindow::showEvent(QShowEvent* pEvent)
{
    QWidget::showEvent(pEvent);
    if (mbPlaced || pEvent->spontaneous() || !CWindowSystem::CanPlaceWindows())
        return;
    if (!screen() && !QGuiApplication::primaryScreen())
        return;
    mbPlaced = true;
    // Until the window manager has drawn the frame, the frame it drew around
    // another window of the program is the best guess.
    const QMargins objFrame = CWindowFrame::Of(*this);
    CWindowFrame::Centre(
        *this, objFrame.isNull() ? lastFrame() : objFrame,
        [this] {
            const QScreen* pScreen = screen() ? screen() : QGuiApplication::primaryScreen();
            return pScreen ? pScreen->availableGeometry() : frameGeometry();
        },
        [](const QMargins& objDrawn) { lastFrame() = objDrawn; });
}

void CFormWindow::changeEvent(QEvent* pEvent)
{
    QWidget::changeEvent(pEvent);
    // A modal dialog minimized on its own would leave its owner showing but
    // deaf to every key and click; some window managers minimize a dialog
    // alone when asked to. The dialog comes straight back instead.
    if (pEvent->type() != QEvent::WindowStateChange || !CModality::IsModal(*this) || !isMinimized())
        return;
    const QWindow* pWindow = windowHandle();
    if (!pWindow || !pWindow->transientParent() || !pWindow->transientParent()->isExposed())
        return;
    QTimer::singleShot(0, this, [this] {
        if (!isVisible() || !isMinimized())
            return;
        setWindowState(windowState() & ~Qt::WindowMinimized);
        raise();
        activateWindow();
    });
}
