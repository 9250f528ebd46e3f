#pragma once

#include <QKeyCombination>
#include <QList>
#include <QPointer>
#include <QTimer>

#include <utility>

class QEvent;
class QKeyEvent;
class QObject;
class QWidget;
class QWindow;

// Sends every key to the window in front (CModality::FrontWindow). Keys typed while a window opens,
// before the window system has given it the keyboard, would otherwise go to the window beneath,
// which either drops them or acts on them behind the new window; keys typed while a window closes
// would go to the closing window. A key with Alt, Ctrl or Super that no control claims never
// becomes text.
class CKeyboardRouter final
{
public:
    CKeyboardRouter();

    // For CDesktop, last of its filters: whether the event was taken.
    bool FilterEvent(QObject* pReceiver, QEvent* pEvent);

private:
    bool routeKey(QWindow& objWindow, QKeyEvent& objKey);
    void rememberTaken(const QKeyEvent& objKey);
    bool wasTaken(const QKeyEvent& objKey);
    void holdKeyboardFor(QWindow& objWindow);
    void releaseKeyboard();

    QPointer<QWindow> mpHolding;
    QTimer mobjHoldTimer;
    using Taken = std::pair<quint64, QKeyCombination>; // timestamp, key
    QList<Taken> mlstTaken;
};
