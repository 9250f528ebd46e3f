#include <CWindowSystem.h>

#include <QGuiApplication>
#include <QTest>

#include <stdexcept>

class tst_CWindowSystem : public QObject
{
    Q_OBJECT

private slots:
    void platformForTheDesktop_data();
    void platformForTheDesktop();
    void answersOnlyOnceTheApplicationExists();
};

void tst_CWindowSystem::platformForTheDesktop_data()
{
    QTest::addColumn<bool>("bUserChose");
    QTest::addColumn<QString>("strSessionType");
    QTest::addColumn<QString>("strDesktops");
    QTest::addColumn<QByteArray>("strPlatform");

    const struct
    {
        const char* pszCase;
        bool bUserChose;
        const char* pszSessionType;
        const char* pszDesktops;
        const char* pszPlatform;
    } lstCases[] = {
        {"GNOME on Wayland", false, "wayland", "GNOME", "xcb;wayland"},
        {"Ubuntu's GNOME", false, "wayland", "ubuntu:GNOME", "xcb;wayland"},
        {"GNOME Classic", false, "wayland", "GNOME-Classic:GNOME", "xcb;wayland"},
        {"GNOME in lower case", false, "wayland", "gnome", "xcb;wayland"},
        {"GNOME, the user chose", true, "wayland", "GNOME", ""},
        {"GNOME on X11", false, "x11", "GNOME", ""},
        {"GNOME Flashback alone", false, "wayland", "GNOME-Flashback", ""},
        {"KDE Plasma on Wayland", false, "wayland", "KDE", ""},
    };
    for (const auto& objCase : lstCases)
        QTest::newRow(objCase.pszCase)
            << objCase.bUserChose << QString(objCase.pszSessionType) << QString(objCase.pszDesktops)
            << QByteArray(objCase.pszPlatform);
}

void tst_CWindowSystem::platformForTheDesktop()
{
    QFETCH(bool, bUserChose);
    QFETCH(QString, strSessionType);
    QFETCH(QString, strDesktops);
    QFETCH(QByteArray, strPlatform);
    QCOMPARE(CWindowSystem::PlatformFor(bUserChose, strSessionType, strDesktops), strPlatform);
}

// Asked too early, the question fails and leaves no answer behind; asked
// once the application exists, the answer is the platform's.
void tst_CWindowSystem::answersOnlyOnceTheApplicationExists()
{
    QVERIFY_THROWS_EXCEPTION(std::logic_error, CWindowSystem::CanPlaceWindows());
    int intArguments = 1;
    char szName[] = "tst_CWindowSystem";
    char* lstArguments[] = {szName, nullptr};
    QGuiApplication objApplication(intArguments, lstArguments);
    QVERIFY(CWindowSystem::IsOffscreen());
    QVERIFY(!CWindowSystem::IsX11());
    QVERIFY(!CWindowSystem::IsWayland());
    QVERIFY(CWindowSystem::CanPlaceWindows());
}

QTEST_APPLESS_MAIN(tst_CWindowSystem)
#include "tst_CWindowSystem.moc"
