#include "LayoutPixels.h"
#include "platform/TestForms.h"

#include <QApplication>
#include <QLabel>

class tst_CFormBuilder : public FormTestCase
{
    Q_OBJECT

private slots:
    void layoutInPixels();
    void tabOrderAndNames();
    void failedBuildLeavesFormUnloaded_data();
    void failedBuildLeavesFormUnloaded();
};

void tst_CFormBuilder::layoutInPixels()
{
    QWidget& objWindow = *CForm::Get<frmTest>().Window();
    QCOMPARE(objWindow.size(), layoutPixels("frmTest", "window").size());
    QCOMPARE(objWindow.windowTitle(), QString("Test Form"));
    QCOMPARE(widget("cmdGo").geometry(), layoutPixels("frmTest", "cmdGo"));
    QCOMPARE(widget("txtName").geometry(), layoutPixels("frmTest", "txtName"));
    // Inside a frame, positions are relative to the frame.
    QCOMPARE(widget("lstThings").parentWidget(), &widget("Frame1"));
    QCOMPARE(widget("lstThings").geometry(), layoutPixels("frmTest", "lstThings"));
    QCOMPARE(widget<QLabel>("lblName").alignment(), Qt::AlignRight | Qt::AlignVCenter);
    const QRect rctAvailable = QGuiApplication::primaryScreen()->availableGeometry();
    // Centred to within the width of the window frame.
    const QPoint ptOffset = objWindow.frameGeometry().center() - rctAvailable.center();
    QVERIFY2(ptOffset.manhattanLength() <= 8,
             qPrintable(QString("%1,%2").arg(ptOffset.x()).arg(ptOffset.y())));
}

void tst_CFormBuilder::tabOrderAndNames()
{
    QWidget& objWindow = *CForm::Get<frmTest>().Window();
    QCOMPARE(tabOrder(objWindow),
             (QStringList{"txtName=Name", "cmdGo=Go", "cmdStop=Stop",
                          "cmdLong=Display Customer Data", "lstThings=Things", "cmdFail=Fail"}));
    QCOMPARE(widget<QLabel>("lblName").buddy(), &widget("txtName"));
}

void tst_CFormBuilder::failedBuildLeavesFormUnloaded_data()
{
    QTest::addColumn<QString>("strHow"); // empty: a control in a frame that is not there
    QTest::addColumn<QString>("strMessage");
    QTest::newRow("control in a missing frame")
        << QString() << QStringLiteral("This window has no control \"fraMissing\".");
    QTest::newRow("double click on a button")
        << QStringLiteral("double click on a button")
        << QStringLiteral("The control \"cmdOK\" has no DblClick event.");
    QTest::newRow("click on a text box")
        << QStringLiteral("click on a text box")
        << QStringLiteral("The control \"txtField\" has no Click event.");
    QTest::newRow("click on a missing control")
        << QStringLiteral("click on a missing control")
        << QStringLiteral("This window has no control \"cmdMissing\".");
}

void tst_CFormBuilder::failedBuildLeavesFormUnloaded()
{
    QFETCH(QString, strHow);
    QFETCH(QString, strMessage);
    releaseForms();
    CForm& objForm =
        strHow.isEmpty() ? static_cast<CForm&>(CForm::Get<frmBroken>()) : CForm::Get<frmMisbound>();
    if (!strHow.isEmpty())
        CForm::Get<frmMisbound>().Bind(strHow);
    // Each attempt fails the same way, and leaves nothing behind.
    for (int intAttempt = 0; intAttempt < 2; ++intAttempt) {
        try {
            objForm.Load();
            QFAIL("the form loaded");
        } catch (const CError& objError) {
            QCOMPARE(objError.Message(), strMessage);
        }
        QVERIFY(!objForm.IsLoaded());
        QCOMPARE(objForm.Window(), nullptr);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(QApplication::topLevelWidgets(), QWidgetList());
    }
}

QTEST_MAIN(tst_CFormBuilder)
#include "tst_CFormBuilder.moc"
