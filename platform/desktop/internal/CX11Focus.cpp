#include "CX11Focus.h"

#include <QEvent>
#include <QGuiApplication>
#include <QList>
#include <QPointer>
#include <QWindow>

namespace {
// The bit the X server sets in the type of an event a client sent.
constexpr uint8_t SentBit = 0x80;

struct Focus
{
    WId idWindow = 0;
    xcb_window_t idKeyTarget = XCB_NONE;
    QList<QPointer<QWindow>> lstBlocked;
};

Focus& focus()
{
    static Focus objFocus;
    return objFocus;
}
} // namespace

WId CX11Focus::Window()
{
    return focus().idWindow;
}

xcb_window_t CX11Focus::KeyTarget()
{
    return focus().idKeyTarget;
}

bool CX11Focus::IsBlocked(const QWindow* pWindow)
{
    return pWindow && focus().lstBlocked.contains(pWindow);
}

QWindow* CX11Focus::WindowOf(xcb_window_t idWindow)
{
    for (QWindow* pWindow : QGuiApplication::topLevelWindows()) {
        if (pWindow->handle() && pWindow->winId() == idWindow)
            return pWindow;
    }
    return nullptr;
}

bool CX11Focus::FilterX11(const xcb_generic_event_t& objEvent)
{
    const auto enmType = objEvent.response_type & ~SentBit;
    if (enmType != XCB_FOCUS_IN && enmType != XCB_FOCUS_OUT)
        return false;
    const auto& objFocus = reinterpret_cast<const xcb_focus_in_event_t&>(objEvent);
    if (objFocus.detail == XCB_NOTIFY_DETAIL_POINTER)
        return false;
    if (enmType == XCB_FOCUS_OUT) {
        focus().idWindow = 0;
        focus().idKeyTarget = XCB_NONE;
        return true;
    }
    focus().idWindow = objFocus.event;
    if (QWindow* pWindow = WindowOf(objFocus.event); pWindow && !IsBlocked(pWindow))
        focus().idKeyTarget = objFocus.event;
    return true;
}

void CX11Focus::FilterEvent(QObject* pReceiver, QEvent* pEvent)
{
    auto* pWindow = qobject_cast<QWindow*>(pReceiver);
    if (!pWindow)
        return;
    if (pEvent->type() == QEvent::WindowBlocked) {
        focus().lstBlocked.removeAll(nullptr); // windows gone while blocked
        focus().lstBlocked.append(pWindow);
    } else if (pEvent->type() == QEvent::WindowUnblocked) {
        focus().lstBlocked.removeAll(pWindow);
    }
}
