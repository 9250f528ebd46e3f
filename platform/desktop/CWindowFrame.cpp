#include "CWindowFrame.h"

#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace {
constexpr int LookMilliseconds = 25;
constexpr int Looks = 40;
} // namespace

QMargins CWindowFrame::Of(const QWidget& objWindow)
{
    const QWindow* pWindow = objWindow.windowHandle();
    return pWindow ? pWindow->frameMargins() : QMargins();
}

void CWindowFrame::WhenDrawn(QWidget& objWindow, std::function<void(const QMargins&)> fnDrawn)
{
    lookAgain(objWindow, std::move(fnDrawn), Looks);
}

void CWindowFrame::lookAgain(QWidget& objWindow, std::function<void(const QMargins&)> fnDrawn,
                             int intLooksLeft)
{
    QTimer::singleShot(LookMilliseconds, &objWindow,
                       [&objWindow, fnDrawn = std::move(fnDrawn), intLooksLeft]() mutable {
                           if (!objWindow.isVisible())
                               return;
                           const QMargins objFrame = Of(objWindow);
                           if (!objFrame.isNull())
                               fnDrawn(objFrame);
                           else if (intLooksLeft > 1)
                               lookAgain(objWindow, std::move(fnDrawn), intLooksLeft - 1);
                       });
}
