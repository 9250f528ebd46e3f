#include "X11Keys.h"

#include <CDesktop.h>
#include <CModality.h>

class tst_CDesktop : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void keysPassedOnAreNotHeldAgain();
};

void tst_CDesktop::initTestCase()
{
    CDesktop::Install();
}

// CDesktop shows each key to CX11KeysToFront before the router may take it:
// a key the router passed on to the window in front is not held again, and
// typed twice, when a window that Qt knows to be modal opens later.
void tst_CDesktop::keysPassedOnAreNotHeldAgain()
{
    auto* pX11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!pX11)
        QSKIP("Keys go through an X server");
    // GIVEN the main window with the keyboard, and the dialog shown modally
    // over it the program's own way
    Windows objWindows;
    objWindows.objMain.show();
    objWindows.objMain.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&objWindows.objMain));
    objWindows.objDialog.hide();
    objWindows.objDialog.setWindowModality(Qt::NonModal);
    const CModality::Showing objShowing(objWindows.objDialog);
    objWindows.objDialog.show();
    objWindows.pName->setFocus();
    // WHEN keys for the main window go to the dialog, and then a window Qt
    // knows to be modal opens and takes the keyboard
    QVERIFY(sendKeys(pX11->connection(), *objWindows.objMain.windowHandle(), typed("xy")));
    QTRY_COMPARE(objWindows.pName->text(), QString("xy"));
    CFormWindow objBox([] {});
    auto* pBoxText = new QLineEdit(&objBox);
    objBox.setWindowModality(Qt::ApplicationModal);
    objBox.show();
    objBox.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&objBox));
    pBoxText->setFocus();
    QVERIFY(sendKeys(pX11->connection(), *objBox.windowHandle(), typed("z")));
    // THEN it gets only the key typed for it
    QTRY_VERIFY(pBoxText->text().contains(u'z'));
    QCOMPARE(pBoxText->text(), QString("z"));
    QCOMPARE(objWindows.pName->text(), QString("xy"));
}

QTEST_MAIN(tst_CDesktop)
#include "tst_CDesktop.moc"
