#pragma once

#include <QMargins>
#include <QRect>

#include <functional>

class QWidget;

// The frame the window manager draws around a top-level window. It draws it
// shortly after the window is shown, and never where there is no window
// manager.
class CWindowFrame
{
public:
    // The frame drawn around objWindow, or null margins before it is drawn.
    static QMargins Of(const QWidget& objWindow);

    // Calls fnDrawn with the frame once the window manager has drawn it
    // around objWindow, if objWindow is still showing then. Looks every
    // 25 ms, for a second at most.
    static void WhenDrawn(QWidget& objWindow, std::function<void(const QMargins&)> fnDrawn);

    // Places objWindow so that its frame, taken to be objGuess until the
    // window manager has drawn it, stands centred on the rectangle fnOver
    // gives, within the screen; centres it again if the frame drawn differs,
    // and tells fnDrawn the frame.
    static void Centre(QWidget& objWindow, const QMargins& objGuess, std::function<QRect()> fnOver,
                       std::function<void(const QMargins&)> fnDrawn = {});

private:
    static void lookAgain(QWidget& objWindow, std::function<void(const QMargins&)> fnDrawn,
                          int intLooksLeft);
};
