// The program with N customers stored before its main window shows: each one
// typed into the customer dialog and added by the dialog's own OK handler,
// then the program's own event loop. For measuring a screen reader over a
// long list (orca_speech.py), and for the Orca test at ten thousand.
//
//   corvale_filled N [HOLDS]
//
// With HOLDS, a file: each time the event loop has not turned for more than
// HoldMilliseconds, a line "END_MS LENGTH_MS" goes there, END_MS on the
// system's monotonic clock, so that a driver can find the longest time the
// program held the user up during each step.
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
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {
QLineEdit& field(CForm& objDialog, const char* pszName)
{
    return *objDialog.Window()->findChild<QLineEdit*>(QString::fromLatin1(pszName));
}

const char* const gFields[] = {"txtLastName", "txtFirstName", "txtAddress",
                               "txtCity",     "txtState",     "txtZipCode"};

constexpr int TickMilliseconds = 2;
constexpr double HoldMilliseconds = 8.0;

// Writes every turn of the event loop that came late by more than
// HoldMilliseconds to pFile.
void watchHolds(QObject& objParent, std::FILE* pFile)
{
    using Clock = std::chrono::steady_clock;
    auto* pTimer = new QTimer(&objParent);
    pTimer->setTimerType(Qt::PreciseTimer);
    QObject::connect(pTimer, &QTimer::timeout, &objParent, [pFile, tLast = Clock::now()]() mutable {
        const Clock::time_point tNow = Clock::now();
        const double dblHeld =
            std::chrono::duration<double, std::milli>(tNow - tLast).count() - TickMilliseconds;
        tLast = tNow;
        if (dblHeld > HoldMilliseconds) {
            const double dblEnd =
                std::chrono::duration<double, std::milli>(tNow.time_since_epoch()).count();
            std::fprintf(pFile, "%.1f %.1f\n", dblEnd, dblHeld);
            std::fflush(pFile);
        }
    });
    pTimer->start(TickMilliseconds);
}
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
        field(objDialog, "txtID")
            .setText(QStringLiteral("C%1").arg(qlonglong(i * lngStep), 7, 10, QChar(u'0')));
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
    std::FILE* pHolds = argc > 2 ? std::fopen(argv[2], "w") : nullptr;
    if (pHolds)
        watchHolds(objApplication, pHolds);
    const int intResult = CForm::Run<frmMain>();
    if (pHolds)
        std::fclose(pHolds);
    return intResult;
}
