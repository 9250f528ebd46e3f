#include "platform/TestForms.h"

#include <QApplication>
#include <QPushButton>

class tst_CForm : public FormTestCase
{
    Q_OBJECT

private slots:
    void failureIsShownAndStopsHandler();
    void lifecycle();
    void endStopsTheRunWheneverCalled_data();
    void endStopsTheRunWheneverCalled();
};

void tst_CForm::failureIsShownAndStopsHandler()
{
    frmTest& objForm = CForm::Get<frmTest>();
    widget<QPushButton>("cmdFail").click();
    QCOMPARE(objForm.lstEvents, QStringList{"Fail"});
    QCOMPARE(mlstMessages.size(), 1);
    QCOMPARE(mlstMessages[0].first, QString("Corvale"));
    QCOMPARE(mlstMessages[0].second, QString("The thing could not be done."));
    // The program goes on.
    widget<QPushButton>("cmdGo").click();
    QCOMPARE(objForm.lstEvents, (QStringList{"Fail", "Go"}));
}

void tst_CForm::lifecycle()
{
    frmTest& objForm = CForm::Get<frmTest>();
    objForm.Hide();
    whenModal([&] {
        QTRY_VERIFY(objForm.IsVisible());
        // The modal window blocks the others: a second window stays blocked.
        widget<QPushButton>("cmdStop").click();
    });
    objForm.ShowModal();
    QVERIFY(!objForm.IsVisible());
    QCOMPARE(objForm.lstEvents, (QStringList{"Activate", "Stop"}));

    // Hiding keeps the controls' contents; unloading loses them.
    objForm.TextBox("txtName").setText("kept");
    objForm.Show();
    QCOMPARE(objForm.TextBox("txtName").Text(), QString("kept"));
    objForm.lstEvents.clear();
    objForm.Unload();
    objForm.Unload();
    QCOMPARE(objForm.lstEvents, QStringList{"Unload"});
    QVERIFY(!objForm.IsLoaded());
    QCOMPARE(objForm.TextBox("txtName").Text(), QString());
    QCOMPARE(objForm.lstEvents, (QStringList{"Unload", "Load"}));

    // The frame's close button goes to the form, which here only hides.
    objForm.Show();
    objForm.Window()->close();
    QVERIFY(objForm.IsLoaded());
    QVERIFY(!objForm.IsVisible());
    QCOMPARE(objForm.lstEvents.last(), QString("QueryUnload"));
}

void tst_CForm::endStopsTheRunWheneverCalled_data()
{
    QTest::addColumn<QString>("strWhen");
    QTest::newRow("as the start form loads") << QStringLiteral("load");
    QTest::newRow("as it shows") << QStringLiteral("activate");
    QTest::newRow("in the event loop") << QStringLiteral("in the event loop");
}

void tst_CForm::endStopsTheRunWheneverCalled()
{
    QFETCH(QString, strWhen);
    // GIVEN a start form that ends the program at some step
    releaseForms();
    CForm::Get<frmEnding>().strWhen = strWhen;
    // A run that never ends is stopped, and reported, after a long while.
    QTimer objWatchdog;
    objWatchdog.setSingleShot(true);
    QObject::connect(&objWatchdog, &QTimer::timeout, qApp, [] { QCoreApplication::exit(1); });
    objWatchdog.start(30'000);

    // WHEN the program runs
    const int intResult = CForm::Run<frmEnding>();

    // THEN the run ends at once, ended it stays, and every form is gone
    QCOMPARE(intResult, 0);
    QVERIFY(CForm::HasEnded());
    QCOMPARE(QApplication::topLevelWidgets(), QWidgetList());
}

QTEST_MAIN(tst_CForm)
#include "tst_CForm.moc"
