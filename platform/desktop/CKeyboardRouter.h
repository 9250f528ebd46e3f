#pragma once

#include <QKeyCombination>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <utility>

class QKeyEvent;
class QWidget;
class QWindow;

// Sends every key to the window in front: the modal window shown last, else
// the main window. Keys typed while a window opens, before the window system
// has given it the keyboard, would otherwise go to the window beneath, which
// either drops them or acts on them behind the new window; keys typed while a
// window closes would go to the closing window. A key with Alt, Ctrl or
// Super that no control claims never becomes text.
class CKeyboardRouter : public QObject
{
    Q_OBJECT

public:
    // Installs the router once for the application.
    static void Install();

    // The window that takes the keyboard now, or nullptr.
    static QWidget* FrontWindow();

protected:
    bool eventFilter(QObject* pReceiver, QEvent* pEvent) override;

private:
    explicit CKeyboardRouter(QObject* pParent);

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
