#include "CFormWindow.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPushButton>

#include <utility>

CFormWindow::CFormWindow(std::function<void()> fnCloseRequested)
    : mfnCloseRequested(std::move(fnCloseRequested))
{}

namespace {
bool canPress(const QPushButton* pButton)
{
    return pButton && pButton->isVisible() && pButton->isEnabled();
}
} // namespace

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

void CFormWindow::hideEvent(QHideEvent* pEvent)
{
    QWidget::hideEvent(pEvent);
    if (!pEvent->spontaneous())
        emit Hidden();
}
