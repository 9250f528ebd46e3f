#pragma once

#include "CWindowSystem.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>

// Gives the keyboard back to the window that had it when a modal window
// closes. Window managers usually do this themselves, but not all do, and
// without one the keyboard would go nowhere. Wayland compositors always do,
// and Qt 6.4's Wayland plugin crashes when asked to activate a window while
// the window that had the keyboard is going (a message box closed as it
// opens).
class CKeyboardReturn
{
public:
    CKeyboardReturn() : mpWindow(QApplication::activeWindow()) {}
    ~CKeyboardReturn()
    {
        if (mpWindow && mpWindow->isVisible() && !CWindowSystem::IsWayland())
            mpWindow->activateWindow();
    }
    CKeyboardReturn(const CKeyboardReturn&) = delete;
    CKeyboardReturn& operator=(const CKeyboardReturn&) = delete;

private:
    QPointer<QWidget> mpWindow;
};
