#include <CForm.h>
#include <frmMain.h>

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[])
{
    QApplication objApplication(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Corvale"));
    QApplication::setDesktopFileName(QStringLiteral("corvale"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/corvale.svg")));
    QApplication::setQuitOnLastWindowClosed(false);
    return CForm::Run<frmMain>();
}
