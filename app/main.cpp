#include <CForm.h>
#include <CWindowSystem.h>
#include <frmMain.h>

#include <QApplication>
#include <QDir>
#include <QIcon>

namespace {

// The PNG renditions need no image plugin, so every desktop can show them;
// where Qt's SVG icon engine is installed, the SVG draws every size instead.
QIcon ApplicationIcon()
{
    QIcon objIcon(QStringLiteral(":/corvale.svg"));
    for (const QFileInfo& objFile : QDir(QStringLiteral(":/icons")).entryInfoList(QDir::Files))
        objIcon.addFile(objFile.filePath());
    return objIcon;
}

} // namespace

int main(int argc, char* argv[])
{
    CWindowSystem::ChoosePlatform();
    QApplication objApplication(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Corvale"));
    QApplication::setDesktopFileName(QStringLiteral("com.corvale.Corvale"));
    QApplication::setWindowIcon(ApplicationIcon());
    QApplication::setQuitOnLastWindowClosed(false);
    return CForm::Run<frmMain>();
}
