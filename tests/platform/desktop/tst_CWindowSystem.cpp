#include "platform/TestForms.h"

#include <CKeyboardRouter.h>
#include <CWindowSystem.h>

#include <QPushButton>

class tst_CWindowSystem : public FormTestCase
{
    Q_OBJECT

private slots:
    void windowsBeneathTheModalWindowTakeNoInput_data();
    void windowsBeneathTheModalWindowTakeNoInput();
};

void tst_CWindowSystem::windowsBeneathTheModalWindowTakeNoInput_data()
{
    QTest::addColumn<QString>("strInput"); // a click on Go or OK, or the close request
    QTest::addColumn<bool>("bModalShowing");
    QTest::addColumn<QStringList>("lstEvents");
    QTest::addColumn<bool>("bModalAfter");
    QTest::newRow("a click beneath") << "Go" << true << QStringList() << true;
    QTest::newRow("a click in the modal window") << "OK" << true << QStringList() << false;
    QTest::newRow("a click once it hides") << "Go" << false << QStringList{"Go"} << false;
    QTest::newRow("the close request beneath") << "close" << true << QStringList() << true;
    QTest::newRow("the close request once it hides")
        << "close" << false << QStringList{"QueryUnload"} << false;
}

void tst_CWindowSystem::windowsBeneathTheModalWindowTakeNoInput()
{
    QFETCH(QString, strInput);
    QFETCH(bool, bModalShowing);
    QFETCH(QStringList, lstEvents);
    QFETCH(bool, bModalAfter);
    // GIVEN a window shown modally without Qt's modality, as on Wayland
    frmTest& objMain = CForm::Get<frmTest>();
    frmModal& objModal = CForm::Get<frmModal>();
    objModal.Load();
    const CWindowSystem::ModalShowing objShowing(*objModal.Window());
    objModal.Show();
    QVERIFY(QTest::qWaitForWindowExposed(objModal.Window()));
    if (!bModalShowing)
        objModal.Hide();
    QCOMPARE(CKeyboardRouter::FrontWindow(), bModalShowing ? objModal.Window() : objMain.Window());
    // WHEN a button is clicked, or the window system asks the main window to close
    if (strInput == u"close")
        objMain.Window()->windowHandle()->close();
    else if (strInput == u"OK")
        QTest::mouseClick(objModal.Window()->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
    else
        QTest::mouseClick(&widget<QPushButton>("cmdGo"), Qt::LeftButton);
    // THEN the main window takes it only once the modal window has gone
    QCOMPARE(objMain.lstEvents, lstEvents);
    QCOMPARE(objModal.IsVisible(), bModalAfter);
}

QTEST_MAIN(tst_CWindowSystem)
#include "tst_CWindowSystem.moc"
