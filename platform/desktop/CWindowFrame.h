#pragma once

#include <QMargins>

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

private:
    static void lookAgain(QWidget& objWindow, std::function<void(const QMargins&)> fnDrawn,
                          int intLooksLeft);
};
