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

    const QByteArray strXwayland = "xcb;wayland";
    QTest::newRow("GNOME on Wayland") << false << "wayland"
                                      << "GNOME" << strXwayland;
    QTest::newRow("Ubuntu's GNOME") << false << "wayland"
                                    << "ubuntu:GNOME" << strXwayland;
    QTest::newRow("GNOME Classic") << false << "wayland"
                                   << "GNOME-Classic:GNOME" << strXwayland;
    QTest::newRow("GNOME in lower case") << false << "wayland"
                                         << "gnome" << strXwayland;
    QTest::newRow("GNOME, the user chose") << true << "wayland"
                                           << "GNOME" << QByteArray();
    QTest::newRow("GNOME on X11") << false << "x11"
                                  << "GNOME" << QByteArray();
    QTest::newRow("GNOME Flashback alone") << false << "wayland"
                                           << "GNOME-Flashback" << QByteArray();
    QTest::newRow("KDE Plasma on Wayland") << false << "wayland"
                                           << "KDE" << QByteArray();
    QTest::newRow("sway") << false << "wayland"
                          << "sway" << QByteArray();
    QTest::newRow("no session type") << false << ""
                                     << "GNOME" << QByteArray();
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
