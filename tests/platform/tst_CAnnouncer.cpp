#include <CAccessibleFactory.h>
#include <CAnnouncer.h>

#include <QAccessible>
#include <QApplication>
#include <QTest>
#include <QWidget>

class tst_CAnnouncer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void isANotificationThatDrawsNothing();
    void waitsForItsWindowToBeActive();
    void eachAnnouncementShowsAgain();
};

void tst_CAnnouncer::initTestCase()
{
    CAccessibleFactory::Install();
}

void tst_CAnnouncer::isANotificationThatDrawsNothing()
{
    QWidget objWindow;
    objWindow.resize(200, 100);
    auto* pAnnouncer = new CAnnouncer(&objWindow);
    objWindow.show();
    QVERIFY(QTest::qWaitForWindowActive(&objWindow));
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
    QWidget objWindow;
    objWindow.resize(200, 100);
    auto* pAnnouncer = new CAnnouncer(&objWindow);
    objWindow.show();
    QVERIFY(QTest::qWaitForWindowActive(&objWindow));
    int intShown = 0;
    struct ShowCounter : QObject
    {
        int& intCount;
        explicit ShowCounter(int& intCounter) : intCount(intCounter) {}
        bool eventFilter(QObject*, QEvent* pEvent) override
        {
            if (pEvent->type() == QEvent::Show)
                ++intCount;
            return false;
        }
    } objCounter(intShown);
    pAnnouncer->installEventFilter(&objCounter);
    for (const char* pszText : {"Customer A added", "Customer A removed", "Customer A added"}) {
        pAnnouncer->Say(QString::fromUtf8(pszText));
        QTRY_VERIFY(pAnnouncer->isVisible());
        QCOMPARE(pAnnouncer->accessibleName(), QString::fromUtf8(pszText));
    }
    // Each is a new showing: a screen reader speaks a notification as it shows.
    QCOMPARE(intShown, 3);
}

QTEST_MAIN(tst_CAnnouncer)
#include "tst_CAnnouncer.moc"
