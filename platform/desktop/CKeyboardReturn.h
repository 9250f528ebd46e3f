#pragma once

#include <QApplication>
#include <QPointer>
#include <QWidget>

// Gives the keyboard back to the window that had it when a modal window
// closes. Window managers usually do this themselves, but not all do, and
// without one the keyboard would go nowhere.
class CKeyboardReturn
{
public:
    CKeyboardReturn() : mpWindow(QApplication::activeWindow()) {}
    ~CKeyboardReturn()
    {
        if (mpWindow && mpWindow->isVisible())
            mpWindow->activateWindow();
    }
    CKeyboardReturn(const CKeyboardReturn&) = delete;
    CKeyboardReturn& operator=(const CKeyboardReturn&) = delete;

private:
    QPointer<QWidget> mpWindow;
};
