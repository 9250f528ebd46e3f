// The program with N customers stored before its main window shows: each one
// typed into the customer dialog and added by the dialog's own OK handler,
// then the program's own event loop. For measuring a screen reader over a
// long list (orca_speech.py), and for the Orca test at ten thousand.
//
//   corvale_filled N
//
// Customer i has the ID "C" and seven digits, i * 10,000,000 / N: at any N,
// the IDs starting with "C05" begin one twentieth of the way down the list.
#include <CForm.h>
#include <frmCustomer.h>
#include <frmMain.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QLineEdit>

#include <cstdlib>

namespace {
QLineEdit& field(CForm& objDialog, const char* pszName)
{
    return *objDialog.Window()->findChild<QLineEdit*>(QString::fromLatin1(pszName));
}

const char* const gFields[] = {"txtLastName", "txtFirstName", "txtAddress",
                               "txtCity",     "txtState",     "txtZipCode"};
} // namespace

int main(int argc, char* argv[])
{
    QApplication objApplication(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Corvale"));
    QApplication::setQuitOnLastWindowClosed(false);
    const int intCount = argc > 1 ? std::atoi(argv[1]) : 10'000;

    frmCustomer& objDialog = CForm::Get<frmCustomer>();
    objDialog.Load();
    CForm::Get<frmMain>().Load();
    objDialog.setAction(QStringLiteral("A"));
    auto& cmdOK = *objDialog.Window()->findChild<QAbstractButton*>(QStringLiteral("cmdOK"));
    const long long lngStep = 10'000'000LL / std::max(intCount, 1);
    // The fill is the state the user starts from, not steps a screen reader
    // follows: none of its events reach the accessibility bus.
    const QAccessible::UpdateHandler fnHandler =
        QAccessible::installUpdateHandler([](QAccessibleEvent*) {});
    for (int i = 0; i < intCount; ++i) {
        field(objDialog, "txtID").setText(
            QStringLiteral("C%1").arg(qlonglong(i * lngStep), 7, 10, QChar(u'0')));
        for (const char* pszField : gFields)
            field(objDialog, pszField).setText(QStringLiteral("%1 %2").arg(pszField).arg(i));
        cmdOK.click();
        // The program runs its event loop between adds; a backlog of posted
        // events would otherwise be paid for all at once when the window shows.
        if (i % 1000 == 999)
            QCoreApplication::processEvents();
    }
    field(objDialog, "txtID").clear();
    for (const char* pszField : gFields)
        field(objDialog, pszField).clear();
    QCoreApplication::processEvents();
    QAccessible::installUpdateHandler(fnHandler);
    return CForm::Run<frmMain>();
}
