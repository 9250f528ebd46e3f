#include "CCentredBox.h"

#include "CWindowFrame.h"
#include "CWindowSystem.h"

#include <QShowEvent>

void CCentredBox::showEvent(QShowEvent* pEvent)
{
    QMessageBox::showEvent(pEvent); // fixes the box's size
    if (pEvent->spontaneous() || !parentWidget() || !CWindowSystem::CanPlaceWindows())
        return;
    // The box is framed like its owner, and centred over the owner's frame.
    const QWidget* pOwner = parentWidget()->window();
    CWindowFrame::Centre(*this, CWindowFrame::Of(*pOwner),
                         [pOwner] { return pOwner->frameGeometry(); });
}
