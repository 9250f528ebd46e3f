#pragma once

#include <CKeyboardReturn.h>
#include <CModality.h>

#include <QEventLoop>
#include <QPointer>
#include <QWidget>

#include <functional>

// The program's one modal event loop, for forms and message boxes alike:
// shows a window modally and returns once it has ended or gone. Meanwhile no
// window beneath it takes input; afterwards the keyboard goes back to the
// window that had it.
class CModalLoop
{
public:
    // fnShow shows objWindow, given the modality CWindowSystem::DialogModality
    // says; pmfEnded, a signal of objWindow, ends the loop.
    template <class Window, class Signal>
    static void Run(Window& objWindow, Signal pmfEnded, const std::function<void()>& fnShow)
    {
        const CKeyboardReturn objKeyboardReturn;
        const CModality::Showing objShowing(objWindow);
        QEventLoop objLoop;
        QObject::connect(&objWindow, pmfEnded, &objLoop, &QEventLoop::quit);
        QObject::connect(&objWindow, &QObject::destroyed, &objLoop, &QEventLoop::quit);
        const QPointer<QWidget> pWindow = &objWindow;
        fnShow();
        if (pWindow && pWindow->isVisible())
            objLoop.exec(QEventLoop::DialogExec);
    }
};
