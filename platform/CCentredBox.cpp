#include "CCentredBox.h"

#include "CWindowSystem.h"

#include <QScreen>
#include <QShowEvent>
#include <QTimer>
#include <QWindow>

namespace {
QMargins frameOf(const QWidget& objWindow)
{
    const QWindow* pWindow = objWindow.windowHandle();
    return pWindow ? pWindow->frameMargins() : QMargins();
}
} // namespace

void CCentredBox::showEvent(QShowEvent* pEvent)
{
    QMessageBox::showEvent(pEvent); // fixes the box's size
    if (pEvent->spontaneous() || !parentWidget() || !CWindowSystem::CanPlaceWindows())
        return;
    mobjGuess = frameOf(*parentWidget()->window());
    centre(mobjGuess);
    QTimer::singleShot(25, this, [this] { recentreOnceFramed(40); });
}

void CCentredBox::centre(const QMargins& objFrame)
{
    const QWidget* pOwner = parentWidget()->window();
    QRect rctFrame(QPoint(), size().grownBy(objFrame));
    rctFrame.moveCenter(pOwner->frameGeometry().center());
    if (const QScreen* pScreen = pOwner->screen()) {
        const QRect rctScreen = pScreen->availableGeometry();
        rctFrame.moveLeft(qBound(rctScreen.left(), rctFrame.left(),
                                 qMax(rctScreen.left(), rctScreen.right() - rctFrame.width() + 1)));
        rctFrame.moveTop(qBound(rctScreen.top(), rctFrame.top(),
                                qMax(rctScreen.top(), rctScreen.bottom() - rctFrame.height() + 1)));
    }
    setGeometry(rctFrame.marginsRemoved(objFrame));
}

void CCentredBox::recentreOnceFramed(int intTriesLeft)
{
    // The window manager frames the box shortly after it is shown; it is
    // centred again then if the frame differs from the guess.
    if (!isVisible())
        return;
    const QMargins objFrame = frameOf(*this);
    if (objFrame.isNull()) {
        if (intTriesLeft > 0)
            QTimer::singleShot(25, this,
                               [this, intTriesLeft] { recentreOnceFramed(intTriesLeft - 1); });
        return;
    }
    if (objFrame != mobjGuess)
        centre(objFrame);
}
