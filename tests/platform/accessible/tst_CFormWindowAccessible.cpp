#include "platform/TestForms.h"

#include <CAccessibleFactory.h>
#include <CFormWindow.h>

#include <QAccessible>

namespace {
QAccessible::Role roleOf(QWidget* pWindow)
{
    QAccessibleInterface* pInterface = QAccessible::queryAccessibleInterface(pWindow);
    return pInterface ? pInterface->role() : QAccessible::NoRole;
}
} // namespace

class tst_CFormWindowAccessible : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void roleFollowsHowTheWindowIsShown_data();
    void roleFollowsHowTheWindowIsShown();
    void formShownModallyIsADialog();
};

void tst_CFormWindowAccessible::initTestCase()
{
    CAccessibleFactory::Install();
}

void tst_CFormWindowAccessible::cleanup()
{
    releaseForms();
}

void tst_CFormWindowAccessible::roleFollowsHowTheWindowIsShown_data()
{
    QTest::addColumn<Qt::WindowModality>("enmModality");
    QTest::addColumn<Qt::WindowType>("enmType");
    QTest::addColumn<QAccessible::Role>("enmRole");
    QTest::newRow("plain window") << Qt::NonModal << Qt::Window << QAccessible::Window;
    QTest::newRow("application modal") << Qt::ApplicationModal << Qt::Window << QAccessible::Dialog;
    QTest::newRow("window modal") << Qt::WindowModal << Qt::Window << QAccessible::Dialog;
    QTest::newRow("dialog type") << Qt::NonModal << Qt::Dialog << QAccessible::Dialog;
    QTest::newRow("modal dialog type") << Qt::ApplicationModal << Qt::Dialog << QAccessible::Dialog;
}

void tst_CFormWindowAccessible::roleFollowsHowTheWindowIsShown()
{
    QFETCH(Qt::WindowModality, enmModality);
    QFETCH(Qt::WindowType, enmType);
    QFETCH(QAccessible::Role, enmRole);
    CFormWindow objWindow([] {});
    // The role is asked after the window changed, as a screen reader asks
    // when the window shows: the interface is made once and kept.
    QCOMPARE(roleOf(&objWindow), QAccessible::Window);
    objWindow.setWindowFlags(enmType);
    objWindow.setWindowModality(enmModality);
    objWindow.show();
    QVERIFY(QTest::qWaitForWindowExposed(&objWindow));
    QCOMPARE(roleOf(&objWindow), enmRole);
}

void tst_CFormWindowAccessible::formShownModallyIsADialog()
{
    // GIVEN a form shown as the start window, THEN it is an application window.
    frmModal& objForm = CForm::Get<frmModal>();
    objForm.Show();
    QCOMPARE(roleOf(objForm.Window()), QAccessible::Window);
    objForm.Hide();

    // WHEN the form is shown modally, THEN it is a dialog while it shows.
    QAccessible::Role enmWhileModal = QAccessible::NoRole;
    whenModal([&] {
        QTRY_VERIFY(objForm.IsVisible());
        enmWhileModal = roleOf(objForm.Window());
        objForm.Hide();
    });
    objForm.ShowModal();
    QCOMPARE(enmWhileModal, QAccessible::Dialog);
}

QTEST_MAIN(tst_CFormWindowAccessible)
#include "tst_CFormWindowAccessible.moc"
