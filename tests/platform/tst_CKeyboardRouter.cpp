#include <CFormWindow.h>
#include <CKeyboardRouter.h>
#include <CWrappingButton.h>

#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <qpa/qwindowsysteminterface.h>

#include <memory>

namespace {
struct Key
{
    int intKey;
    Qt::KeyboardModifiers enmModifiers;
    QString strText;
};
using Keys = QList<Key>;

Key alt(char chLetter)
{
    return {Qt::Key_A + (chLetter - 'a'), Qt::AltModifier, QString(QChar(chLetter))};
}

Keys typed(const char* pszText)
{
    Keys lstKeys;
    for (const char* p = pszText; *p; ++p) {
        const int intKey = *p >= 'a' ? Qt::Key_A + (*p - 'a') : Qt::Key_0 + (*p - '0');
        lstKeys.push_back({intKey, Qt::NoModifier, QString(QChar(*p))});
    }
    return lstKeys;
}

// A main window whose Alt+A opens a modal dialog and whose Alt+R counts, and
// the dialog: Name and Other boxes, Alt+T moving to Other, Alt+O closing it
// and keeping what the boxes hold as "name/other".
struct Windows
{
    Windows()
        : objMain([] {}), objDialog([this] { objDialog.hide(); })
    {
        objMain.resize(240, 120);
        auto* pAdd = new CWrappingButton(QStringLiteral("&Add"), &objMain);
        pAdd->move(0, 40);
        auto* pRemove = new CWrappingButton(QStringLiteral("&Remove"), &objMain);
        pRemove->move(100, 40);
        QObject::connect(pRemove, &QPushButton::clicked, [this] { ++intRemoves; });
        QObject::connect(pAdd, &QPushButton::clicked, [this] { openDialog(); });

        objDialog.resize(240, 120);
        pName = new QLineEdit(&objDialog);
        pName->move(60, 0);
        auto* pLabel = new QLabel(QStringLiteral("O&ther"), &objDialog);
        pLabel->move(0, 30);
        pOther = new QLineEdit(&objDialog);
        pOther->move(60, 30);
        pLabel->setBuddy(pOther);
        auto* pOK = new CWrappingButton(QStringLiteral("&OK"), &objDialog);
        pOK->move(60, 60);
        QObject::connect(pOK, &QPushButton::clicked, [this] {
            strStored = pName->text() + u'/' + pOther->text();
            objDialog.hide();
        });
        objDialog.BecomeDialogOf(&objMain);
    }

    void openDialog()
    {
        pName->clear();
        pOther->clear();
        pName->setFocus();
        QEventLoop objLoop;
        QObject::connect(&objDialog, &CFormWindow::Hidden, &objLoop, &QEventLoop::quit);
        // Keys that never reach the dialog would leave it open for good.
        QTimer::singleShot(5000, &objDialog, [this] { objDialog.hide(); });
        objDialog.show();
        objLoop.exec(QEventLoop::DialogExec);
        bClosed = true;
    }

    CFormWindow objMain;
    CFormWindow objDialog;
    QLineEdit* pName = nullptr;
    QLineEdit* pOther = nullptr;
    QString strStored;
    int intRemoves = 0;
    bool bClosed = false;
};
} // namespace

class tst_CKeyboardRouter : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void burstReadBeforeWindowOpens_data();
    void burstReadBeforeWindowOpens();
};

void tst_CKeyboardRouter::initTestCase()
{
    CKeyboardRouter::Install();
}

void tst_CKeyboardRouter::burstReadBeforeWindowOpens_data()
{
    QTest::addColumn<Keys>("lstKeys");
    QTest::addColumn<QString>("strStored");
    QTest::addColumn<int>("intRemoves");

    const Key objAltO = alt('o');
    QTest::newRow("typed ahead") << (Keys{alt('a')} + typed("k1") + Keys{objAltO}) << "k1/" << 0;
    QTest::newRow("main window's access key")
        << (Keys{alt('a'), alt('r')} + typed("x") + Keys{objAltO}) << "x/" << 0;
    QTest::newRow("command keys") << (Keys{alt('a')} + typed("x") +
                                      Keys{alt('q'), alt('x'), {Qt::Key_1, Qt::AltModifier, "1"},
                                           {Qt::Key_K, Qt::MetaModifier, "k"}, objAltO})
                                  << "x/" << 0;
    QTest::newRow("dialog's access key")
        << (Keys{alt('a')} + typed("y") + Keys{alt('t')} + typed("2") + Keys{objAltO}) << "y/2"
        << 0;
    QTest::newRow("keys after it closes")
        << (Keys{alt('a')} + typed("z") + Keys{objAltO, alt('r')}) << "z/" << 1;
}

// Keys the window system has already handed over, all for the main window,
// when the first of them opens the dialog: each reaches the window in front
// when its turn comes, as a fast typist or a barcode scanner meant it.
void tst_CKeyboardRouter::burstReadBeforeWindowOpens()
{
    QFETCH(Keys, lstKeys);
    QFETCH(QString, strStored);
    QFETCH(int, intRemoves);

    Windows objWindows;
    objWindows.objMain.show();
    QVERIFY(QTest::qWaitForWindowActive(&objWindows.objMain));
    QWindow* pMain = objWindows.objMain.windowHandle();
    ulong ulTime = 1000;
    for (const Key& objKey : lstKeys) {
        for (QEvent::Type enmType : {QEvent::KeyPress, QEvent::KeyRelease})
            QWindowSystemInterface::handleKeyEvent<QWindowSystemInterface::AsynchronousDelivery>(
                pMain, ++ulTime, enmType, objKey.intKey, objKey.enmModifiers, objKey.strText);
    }
    QTRY_VERIFY_WITH_TIMEOUT(objWindows.bClosed, 20000);
    QCoreApplication::processEvents();
    QCOMPARE(objWindows.strStored, strStored);
    QCOMPARE(objWindows.intRemoves, intRemoves);
}

QTEST_MAIN(tst_CKeyboardRouter)
#include "tst_CKeyboardRouter.moc"
