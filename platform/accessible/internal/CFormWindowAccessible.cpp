#include "CFormWindowAccessible.h"

#include "CFormWindow.h"

CFormWindowAccessible::CFormWindowAccessible(CFormWindow* pWindow)
    : QAccessibleWidget(pWindow, QAccessible::Window)
{}

QAccessible::Role CFormWindowAccessible::role() const
{
    // Asked each time: a form turns modal only when it is shown so.
    const QWidget& objWindow = *widget();
    if (objWindow.windowModality() != Qt::NonModal || objWindow.windowType() == Qt::Dialog)
        return QAccessible::Dialog;
    return QAccessible::Window;
}
