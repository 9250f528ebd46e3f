#pragma once

#include <QWidget>

// Tells screen reader users, in a window, what a command has done, where
// sighted users see it from the window itself. It draws nothing: a screen
// reader hears it as a notification shown once the window is active.
class CAnnouncer : public QWidget
{
    Q_OBJECT

public:
    explicit CAnnouncer(QWidget* pWindow);

    void Say(const QString& strText);

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    void showWhenActive();

    bool mbPending = false;
    bool mbShowQueued = false;
};
