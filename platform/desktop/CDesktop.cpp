#include "CDesktop.h"

#include "CKeyboardRouter.h"
#include "CModality.h"
#include "CReadablePalette.h"
#include "CWindowSystem.h"
#include "CX11Focus.h"
#include "CX11KeysToFront.h"

#include <QGuiApplication>
#include <QPointer>

void CDesktop::Install()
{
    static QPointer<CDesktop> pDesktop;
    if (pDesktop)
        return;
    pDesktop = new CDesktop(qApp);
    qApp->installEventFilter(pDesktop);
    if (pDesktop->mbX11)
        qApp->installNativeEventFilter(pDesktop);
}

CDesktop::CDesktop(QObject* pParent)
    : QObject(pParent), mbX11(CWindowSystem::IsX11()),
      mpRouter(std::make_unique<CKeyboardRouter>()), mpPalette(std::make_unique<CReadablePalette>())
{
    auto* pX11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (mbX11 && pX11 && pX11->connection())
        mpKeysToFront = std::make_unique<CX11KeysToFront>(pX11->connection());
}

CDesktop::~CDesktop() = default;

bool CDesktop::nativeEventFilter(const QByteArray& strType, void* pMessage, qintptr*)
{
    if (strType != "xcb_generic_event_t")
        return false;
    auto& objEvent = *static_cast<xcb_generic_event_t*>(pMessage);
    if (CX11Focus::FilterX11(objEvent)) {
        CModality::KeyboardMoved();
        if (mpKeysToFront)
            mpKeysToFront->KeyboardMoved();
        return false;
    }
    return mpKeysToFront && mpKeysToFront->FilterX11(objEvent);
}

bool CDesktop::eventFilter(QObject* pReceiver, QEvent* pEvent)
{
    mpPalette->FilterEvent(pReceiver, pEvent);
    if (mbX11)
        CX11Focus::FilterEvent(pReceiver, pEvent);
    if (CModality::FilterEvent(pReceiver, pEvent))
        return true;
    if (mpKeysToFront)
        mpKeysToFront->FilterEvent(pReceiver, pEvent);
    return mpRouter->FilterEvent(pReceiver, pEvent);
}
