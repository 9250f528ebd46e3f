#include "CWindowFrame.h"

#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace {
constexpr int LookMilliseconds = 25;
constexpr int Looks = 40;

void place(QWidget& objWindow, const QMargins& objFrame, const QRect& rctOver)
{
    QRect rctFrame(QPoint(), objWindow.size().grownBy(objFrame));
    rctFrame.moveCenter(rctOver.center());
    if (const QScreen* pScreen = objWindow.screen()) {
        const QRect rctScreen = pScreen->availableGeometry();
        rctFrame.moveLeft(qBound(rctScreen.left(), rctFrame.left(),
                                 qMax(rctScreen.left(), rctScreen.right() - rctFrame.width() + 1)));
        rctFrame.moveTop(qBound(rctScreen.top(), rctFrame.top(),
                                qMax(rctScreen.top(), rctScreen.bottom() - rctFrame.height() + 1)));
    }
    objWindow.setGeometry(rctFrame.marginsRemoved(objFrame));
}
} // namespace

void CWindowFrame::Centre(QWidget& objWindow, const QMargins& objGuess,
                          std::function<QRect()> fnOver,
                          std::function<void(const QMargins&)> fnDrawn)
{
    place(objWindow, objGuess, fnOver());
    WhenDrawn(objWindow, [&objWindow, objGuess, fnOver = std::move(fnOver),
                          fnDrawn = std::move(fnDrawn)](const QMargins& objFrame) {
        if (fnDrawn)
            fnDrawn(objFrame);
        if (objFrame != objGuess)
            place(objWindow, objFrame, fnOver());
    });
}

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
