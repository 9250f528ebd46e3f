#include "X11Keys.h"

#include <CDesktop.h>

#include <algorithm>

class tst_CX11KeysToFront : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void burstReadBeforeWindowOpens_data();
    void burstReadBeforeWindowOpens();
    void keysForAWindowGone_data();
    void keysForAWindowGone();
};

void tst_CX11KeysToFront::initTestCase()
{
    CDesktop::Install();
}

void tst_CX11KeysToFront::burstReadBeforeWindowOpens_data()
{
    QTest::addColumn<Keys>("lstKeys");
    QTest::addColumn<QString>("strStored");
    QTest::addColumn<int>("intRemoves");
    QTest::addColumn<bool>("bWithholdKeyboard");

    const Key objAltO = alt('o');
    QTest::newRow("typed ahead") << (Keys{alt('a')} + typed("k1") + Keys{objAltO}) << "k1/" << 0
                                 << false;
    QTest::newRow("main window's access key")
        << (Keys{alt('a'), alt('r')} + typed("x") + Keys{objAltO}) << "x/" << 0 << false;
    QTest::newRow("command keys")
        << (Keys{alt('a')} + typed("x") +
            Keys{alt('q'), alt('x'), alt('1'), {'k', XCB_MOD_MASK_4}, objAltO})
        << "x/" << 0 << false;
    QTest::newRow("dialog's access key")
        << (Keys{alt('a')} + typed("y") + Keys{alt('t')} + typed("2") + Keys{objAltO}) << "y/2" << 0
        << false;
    QTest::newRow("keys after it closes")
        << (Keys{alt('a')} + typed("z") + Keys{objAltO, alt('r')}) << "z/" << 1 << false;
    QTest::newRow("the same letter with and without Alt")
        << (Keys{alt('a')} + typed("z") + Keys{objAltO, alt('a')} + typed("a") + Keys{objAltO})
        << "a/" << 0 << false;
    QTest::newRow("dialog the window system gives no keyboard")
        << (Keys{alt('a')} + typed("k1") + Keys{objAltO}) << "k1/" << 0 << true;
}

// Keys the window system has already handed over, all for the main window,
// when the first of them opens the dialog: each reaches the window in front
// when its turn comes, as a fast typist or a barcode scanner meant it.
void tst_CX11KeysToFront::burstReadBeforeWindowOpens()
{
    QFETCH(Keys, lstKeys);
    QFETCH(QString, strStored);
    QFETCH(int, intRemoves);
    QFETCH(bool, bWithholdKeyboard);

    Windows objWindows;
    objWindows.bWithholdKeyboard = bWithholdKeyboard;
    qApp->installNativeEventFilter(&objWindows.objWithheld);
    objWindows.objMain.show();
    objWindows.objMain.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&objWindows.objMain));
    auto* pX11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!pX11)
        QSKIP("Keys go through an X server");
    QVERIFY(sendKeys(pX11->connection(), *objWindows.objMain.windowHandle(), lstKeys));
    QTRY_VERIFY_WITH_TIMEOUT(objWindows.bClosed, 20000);
    QCoreApplication::processEvents();
    QCOMPARE(objWindows.strStored, strStored);
    QCOMPARE(objWindows.intRemoves, intRemoves);
    // Each Alt+A opened the dialog once.
    QCOMPARE(objWindows.intOpenings,
             std::count_if(lstKeys.cbegin(), lstKeys.cend(), [](const Key& objKey) {
                 return objKey.chKey == 'a' && objKey.uModifiers == XCB_MOD_MASK_1;
             }));
}

void tst_CX11KeysToFront::keysForAWindowGone_data()
{
    QTest::addColumn<bool>("bDeleted");

    QTest::newRow("window deleted") << true;
    QTest::newRow("only its X window destroyed") << false;
}

// Keys the X server has sent to a window that goes before the program reads
// them (a message box answered while keys sent to it again are on their way
// back) reach the window that has the keyboard, in their order.
void tst_CX11KeysToFront::keysForAWindowGone()
{
    QFETCH(bool, bDeleted);

    auto* pX11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!pX11)
        QSKIP("Keys go through an X server");
    CFormWindow objMain([] {});
    auto* pEdit = new QLineEdit(&objMain);
    objMain.show();
    auto pGone = std::make_unique<CFormWindow>([] {});
    pGone->move(300, 0);
    pGone->show();
    QVERIFY(QTest::qWaitForWindowExposed(pGone.get()));
    objMain.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&objMain));
    pEdit->setFocus();

    // Sent, then the window destroyed, with no event read in between.
    QVERIFY(sendKeys(pX11->connection(), *pGone->windowHandle(), typed("k1")));
    if (bDeleted)
        pGone.reset();
    else
        pGone->windowHandle()->destroy();
    QTRY_COMPARE(pEdit->text(), QStringLiteral("k1"));
}

QTEST_MAIN(tst_CX11KeysToFront)
#include "tst_CX11KeysToFront.moc"
