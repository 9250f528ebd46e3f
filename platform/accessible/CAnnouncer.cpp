#include "CAnnouncer.h"

#include <QEvent>
#include <QTimer>

CAnnouncer::CAnnouncer(QWidget* pWindow) : QWidget(pWindow)
{
    setObjectName(QStringLiteral("announcer"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(0, 0, 0, 0);
    hide();
    pWindow->installEventFilter(this);
}

void CAnnouncer::Say(const QString& strText)
{
    hide();
    setAccessibleName(strText);
    mbPending = true;
    showWhenActive();
}

bool CAnnouncer::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    if (pWatched == parent() && pEvent->type() == QEvent::WindowActivate)
        showWhenActive();
    return false;
}

void CAnnouncer::showWhenActive()
{
    if (!mbPending || !window()->isActiveWindow())
        return;
    mbPending = false;
    // One show at a time: it shows whatever was said last, and commands run
    // with no event loop between them must not queue one each.
    if (mbShowQueued)
        return;
    mbShowQueued = true;
    // After the window has told where the focus is, so that the news is
    // what is said last.
    QTimer::singleShot(0, this, [this] {
        mbShowQueued = false;
        show();
    });
}
