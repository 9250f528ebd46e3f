#include <CAccessibleFactory.h>
#include <CAnnouncer.h>

#include <QAccessible>
#include <QApplication>
#include <QTest>
#include <QWidget>

namespace {
// Counts the events of one type that reach the objects it filters.
struct EventCounter : QObject
{
    explicit EventCounter(QEvent::Type enmCounted) : enmType(enmCounted) {}
    bool eventFilter(QObject*, QEvent* pEvent) override
    {
        if (pEvent->type() == enmType)
            ++intCount;
        return false;
    }
    QEvent::Type enmType;
    int intCount = 0;
};

// A window with an announcer in it, shown.
struct AnnouncingWindow
{
    AnnouncingWindow() : pAnnouncer(new CAnnouncer(&objWindow))
    {
        objWindow.resize(200, 100);
        objWindow.show();
    }
    bool becameActive() { return QTest::qWaitForWindowActive(&objWindow); }

    QWidget objWindow;
    CAnnouncer* pAnnouncer;
};
} // namespace

class tst_CAnnouncer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void isANotificationThatDrawsNothing();
    void waitsForItsWindowToBeActive();
    void eachAnnouncementShowsAgain();
    void announcementsWithNoEventLoopBetweenQueueOneShowing();
};

void tst_CAnnouncer::initTestCase()
{
    CAccessibleFactory::Install();
}

void tst_CAnnouncer::isANotificationThatDrawsNothing()
{
    AnnouncingWindow objActive;
    QVERIFY(objActive.becameActive());
    CAnnouncer* pAnnouncer = objActive.pAnnouncer;
    QVERIFY(!pAnnouncer->isVisible());
    pAnnouncer->Say(QStringLiteral("Customer C100 added"));
    QTRY_VERIFY(pAnnouncer->isVisible());
    QAccessibleInterface* pInterface = QAccessible::queryAccessibleInterface(pAnnouncer);
    QCOMPARE(pInterface->role(), QAccessible::Notification);
    QCOMPARE(pInterface->text(QAccessible::Name), QStringLiteral("Customer C100 added"));
    QVERIFY(!pInterface->state().invisible);
    // Nothing a sighted user sees changes: no area, no focus.
    QVERIFY(pAnnouncer->geometry().isEmpty());
    QCOMPARE(pAnnouncer->focusPolicy(), Qt::NoFocus);
}

void tst_CAnnouncer::waitsForItsWindowToBeActive()
{
    // GIVEN an announcement made while another window is active
    QWidget objMain;
    objMain.resize(200, 100);
    auto* pAnnouncer = new CAnnouncer(&objMain);
    objMain.show();
    QWidget objDialog;
    objDialog.resize(100, 50);
    objDialog.show();
    objDialog.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&objDialog));
    pAnnouncer->Say(QStringLiteral("Customer B2 removed"));
    QTest::qWait(50);
    // THEN it is held back, since a screen reader ignores inactive windows,
    QVERIFY(!pAnnouncer->isVisible());
    // WHEN its window becomes active again, THEN it is shown.
    objDialog.hide();
    objMain.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&objMain));
    QTRY_VERIFY(pAnnouncer->isVisible());
    QCOMPARE(pAnnouncer->accessibleName(), QStringLiteral("Customer B2 removed"));
}

void tst_CAnnouncer::eachAnnouncementShowsAgain()
{
    AnnouncingWindow objActive;
    QVERIFY(objActive.becameActive());
    CAnnouncer* pAnnouncer = objActive.pAnnouncer;
    EventCounter objShown(QEvent::Show);
    pAnnouncer->installEventFilter(&objShown);
    for (const char* pszText : {"Customer A added", "Customer A removed", "Customer A added"}) {
        pAnnouncer->Say(QString::fromUtf8(pszText));
        QTRY_VERIFY(pAnnouncer->isVisible());
        QCOMPARE(pAnnouncer->accessibleName(), QString::fromUtf8(pszText));
    }
    // Each is a new showing: a screen reader speaks a notification as it shows.
    QCOMPARE(objShown.intCount, 3);
}

void tst_CAnnouncer::announcementsWithNoEventLoopBetweenQueueOneShowing()
{
    // GIVEN an active window
    AnnouncingWindow objActive;
    QVERIFY(objActive.becameActive());
    CAnnouncer* pAnnouncer = objActive.pAnnouncer;
    EventCounter objShown(QEvent::Show);
    EventCounter objQueued(QEvent::MetaCall);
    pAnnouncer->installEventFilter(&objShown);
    pAnnouncer->installEventFilter(&objQueued);
    // WHEN commands announce many times with no event loop between them
    for (int i = 1; i <= 1000; ++i)
        pAnnouncer->Say(QStringLiteral("Customer C%1 added").arg(i));
    // THEN one showing waits, not one for each, and it says the last.
    QTRY_VERIFY(pAnnouncer->isVisible());
    QCoreApplication::processEvents();
    QCOMPARE(objQueued.intCount, 1);
    QCOMPARE(objShown.intCount, 1);
    QCOMPARE(pAnnouncer->accessibleName(), QStringLiteral("Customer C1000 added"));
    // The next announcement after it shows again.
    pAnnouncer->Say(QStringLiteral("Customer C1 removed"));
    QTRY_COMPARE(objShown.intCount, 2);
    QCOMPARE(pAnnouncer->accessibleName(), QStringLiteral("Customer C1 removed"));
}

QTEST_MAIN(tst_CAnnouncer)
#include "tst_CAnnouncer.moc"
