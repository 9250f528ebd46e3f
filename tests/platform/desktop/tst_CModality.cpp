#include "platform/TestForms.h"

#include <CModality.h>

#include <QPushButton>
#include <QWindow>

#include <optional>

class tst_CModality : public FormTestCase
{
    Q_OBJECT

private slots:
    void windowsBeneathTheModalWindowTakeNoInput_data();
    void windowsBeneathTheModalWindowTakeNoInput();
    void eachShowingEndsItsOwn_data();
    void eachShowingEndsItsOwn();
};

void tst_CModality::windowsBeneathTheModalWindowTakeNoInput_data()
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

void tst_CModality::windowsBeneathTheModalWindowTakeNoInput()
{
    QFETCH(QString, strInput);
    QFETCH(bool, bModalShowing);
    QFETCH(QStringList, lstEvents);
    QFETCH(bool, bModalAfter);
    // GIVEN a window shown modally without Qt's modality, as on Wayland
    frmTest& objMain = CForm::Get<frmTest>();
    frmModal& objModal = CForm::Get<frmModal>();
    objModal.Load();
    const CModality::Showing objShowing(*objModal.Window());
    objModal.Show();
    QVERIFY(QTest::qWaitForWindowExposed(objModal.Window()));
    if (!bModalShowing)
        objModal.Hide();
    QCOMPARE(CModality::FrontWindow(), bModalShowing ? objModal.Window() : objMain.Window());
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

void tst_CModality::eachShowingEndsItsOwn_data()
{
    QTest::addColumn<bool>("bFirstEndsFirst");
    QTest::newRow("the last shown ends first") << false;
    QTest::newRow("the first shown ends first") << true;
}

void tst_CModality::eachShowingEndsItsOwn()
{
    QFETCH(bool, bFirstEndsFirst);
    // GIVEN two windows shown modally over the main window, one then the other
    QWidget& objMain = *CForm::Get<frmTest>().Window();
    QWidget objFirst;
    QWidget objSecond;
    objFirst.show();
    objSecond.show();
    std::optional<CModality::Showing> objFirstShowing(std::in_place, objFirst);
    std::optional<CModality::Showing> objSecondShowing(std::in_place, objSecond);
    QCOMPARE(CModality::ModalWindow(), &objSecond);
    QVERIFY(CModality::IsBlocked(objFirst));

    // WHEN one of them ends
    (bFirstEndsFirst ? objFirstShowing : objSecondShowing).reset();

    // THEN the other one is still shown modally, in front of the main window
    QWidget& objEnded = bFirstEndsFirst ? objFirst : objSecond;
    QWidget& objLeft = bFirstEndsFirst ? objSecond : objFirst;
    QVERIFY(!CModality::IsModal(objEnded));
    QVERIFY(CModality::IsModal(objLeft));
    QCOMPARE(CModality::ModalWindow(), &objLeft);
    QCOMPARE(CModality::FrontWindow(), &objLeft);
    QVERIFY(CModality::IsBlocked(objMain));

    // AND once it ends too, nothing is modal
    (bFirstEndsFirst ? objSecondShowing : objFirstShowing).reset();
    QCOMPARE(CModality::ModalWindow(), nullptr);
    QVERIFY(!CModality::IsBlocked(objMain));
}

QTEST_MAIN(tst_CModality)
#include "tst_CModality.moc"
