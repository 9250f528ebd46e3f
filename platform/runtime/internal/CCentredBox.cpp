#include "CCentredBox.h"

#include "CWindowFrame.h"
#include "CWindowSystem.h"

#include <QScreen>
#include <QShowEvent>

void CCentredBox::showEvent(QShowEvent* pEvent)
{
    QMessageBox::showEvent(pEvent); // fixes the box's size
    if (pEvent->spontaneous() || !parentWidget() || !CWindowSystem::CanPlaceWindows())
        return;
    // The box is framed like its owner; it is centred again if not.
    const QMargins objGuess = CWindowFrame::Of(*parentWidget()->window());
    centre(objGuess);
    CWindowFrame::WhenDrawn(*this, [this, objGuess](const QMargins& objFrame) {
        if (objFrame != objGuess)
            centre(objFrame);
    });
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
