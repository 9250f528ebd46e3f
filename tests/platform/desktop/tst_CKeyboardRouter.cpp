#include "platform/TestForms.h"

#include <QAbstractButton>
#include <QApplication>
#include <QWindow>

class tst_CKeyboardRouter : public FormTestCase
{
    Q_OBJECT

private slots:
    void accessKeys_data();
    void accessKeys();
    void commandKeysNeverType_data();
    void commandKeysNeverType();
    void keysGoToTheWindowInFront();
};

void tst_CKeyboardRouter::accessKeys_data()
{
    QTest::addColumn<int>("intKey");
    QTest::addColumn<QString>("strEvent");
    QTest::addColumn<QString>("strFocus");
    // A button is pressed with the focus still where it was, then focused.
    QTest::newRow("button") << int(Qt::Key_G) << "Go"
                            << "cmdGo";
    QTest::newRow("wrapped button") << int(Qt::Key_D) << "Long"
                                    << "cmdLong";
    QTest::newRow("cancel button, which hides the window") << int(Qt::Key_S) << "Stop"
                                                           << "";
    QTest::newRow("label to its box") << int(Qt::Key_N) << ""
                                      << "txtName";
}

void tst_CKeyboardRouter::accessKeys()
{
    QFETCH(int, intKey);
    QFETCH(QString, strEvent);
    QFETCH(QString, strFocus);
    frmTest& objForm = CForm::Get<frmTest>();
    widget("lstThings").setFocus();
    QTRY_VERIFY(widget("lstThings").hasFocus());
    // A screen reader told of a focus in this window as the press opens a
    // modal window reads it late, as this window coming back over that one.
    QStringList lstFocusedAtPress;
    const QObject objListening;
    for (QAbstractButton* pButton : objForm.Window()->findChildren<QAbstractButton*>())
        connect(pButton, &QAbstractButton::pressed, &objListening, [&lstFocusedAtPress] {
            const QWidget* pFocused = QApplication::focusWidget();
            lstFocusedAtPress << (pFocused ? pFocused->objectName() : QString());
        });
    QTest::keyClick(objForm.Window()->windowHandle(), Qt::Key(intKey), Qt::AltModifier);
    // At once, so that the keys typed next reach whatever the press opens.
    if (!strEvent.isEmpty()) {
        QCOMPARE(objForm.lstEvents, QStringList{strEvent});
        QCOMPARE(lstFocusedAtPress, QStringList{"lstThings"});
        if (!strFocus.isEmpty())
            QTRY_VERIFY(widget(strFocus.toUtf8().constData()).hasFocus());
    } else if (!strFocus.isEmpty()) {
        QTRY_VERIFY(widget(strFocus.toUtf8().constData()).hasFocus());
        QTest::qWait(150);
        QCOMPARE(objForm.lstEvents, QStringList());
    }
}

void tst_CKeyboardRouter::commandKeysNeverType_data()
{
    QTest::addColumn<int>("intKey");
    QTest::addColumn<int>("intModifiers");
    QTest::addColumn<QString>("strAfter");
    QTest::newRow("plain letter types") << int(Qt::Key_X) << 0 << "abx";
    QTest::newRow("Alt+letter") << int(Qt::Key_X) << int(Qt::AltModifier) << "ab";
    QTest::newRow("Alt+digit") << int(Qt::Key_1) << int(Qt::AltModifier) << "ab";
    QTest::newRow("Alt+Shift+letter")
        << int(Qt::Key_X) << int(Qt::AltModifier | Qt::ShiftModifier) << "ab";
    QTest::newRow("Super+letter") << int(Qt::Key_K) << int(Qt::MetaModifier) << "ab";
    QTest::newRow("Ctrl+letter") << int(Qt::Key_K) << int(Qt::ControlModifier) << "ab";
    QTest::newRow("Ctrl+Alt+letter")
        << int(Qt::Key_K) << int(Qt::ControlModifier | Qt::AltModifier) << "ab";
}

void tst_CKeyboardRouter::commandKeysNeverType()
{
    QFETCH(int, intKey);
    QFETCH(int, intModifiers);
    QFETCH(QString, strAfter);
    frmTest& objForm = CForm::Get<frmTest>();
    objForm.TextBox("txtName").setText("ab");
    objForm.TextBox("txtName").SetFocus();
    QTRY_VERIFY(widget("txtName").hasFocus());
    // As the window system delivers keys: to the window, shortcuts first.
    QTest::keyClick(objForm.Window()->windowHandle(), Qt::Key(intKey),
                    Qt::KeyboardModifiers(intModifiers));
    QCOMPARE(objForm.TextBox("txtName").Text(), strAfter);
    QCOMPARE(objForm.lstEvents, QStringList());
}

void tst_CKeyboardRouter::keysGoToTheWindowInFront()
{
    // GIVEN a modal window over the form
    frmTest& objMain = CForm::Get<frmTest>();
    objMain.TextBox("txtName").SetFocus();
    frmModal& objModal = CForm::Get<frmModal>();
    QString strTypedInModal;
    QStringList lstEventsMeanwhile;
    whenModal([&] {
        QVERIFY(objModal.IsVisible());
        QWindow* pModal = objModal.Window()->windowHandle();
        // WHEN keys are typed, the form's access keys among them
        for (char chr : {'a', 'b', 'c'})
            QTest::keyClick(pModal, chr);
        QTest::keyClick(pModal, Qt::Key_G, Qt::AltModifier);
        QTest::keyClick(pModal, Qt::Key_S, Qt::AltModifier);
        strTypedInModal = objModal.TextBox("txtField").Text();
        lstEventsMeanwhile = objMain.lstEvents;
        // AND Enter closes it, and the next keys still arrive at the closed
        // window, as they do until the window system moves the keyboard
        QTest::keyClick(pModal, Qt::Key_Return);
        for (char chr : {'x', 'y'})
            QTest::keyClick(pModal, chr);
    });
    objModal.ShowModal();

    // THEN each key went to the window in front, in order, and the form's
    // access keys never acted behind the modal window
    QCOMPARE(strTypedInModal, QString("abc"));
    QCOMPARE(lstEventsMeanwhile, QStringList());
    QVERIFY(!objModal.IsVisible());
    QCOMPARE(objModal.TextBox("txtField").Text(), QString("abc"));
    QCOMPARE(objMain.TextBox("txtName").Text(), QString("xy"));
    QCOMPARE(objMain.lstEvents, QStringList());
}

QTEST_MAIN(tst_CKeyboardRouter)
#include "tst_CKeyboardRouter.moc"
