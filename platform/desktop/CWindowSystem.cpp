#include "CWindowSystem.h"

#include <QApplication>
#include <QWidget>
#include <QWindow>

#include <stdexcept>

namespace {
enum class Platform
{
    X11,
    Wayland,
    Offscreen,
    Other,
};

// The one place that asks Qt which window system runs.
Platform running()
{
    static const Platform enmRunning = [] {
        if (!qGuiApp)
            throw std::logic_error(
                "CWindowSystem: asked which window system runs before the application exists");
        const QString strName = QGuiApplication::platformName();
        if (strName == u"xcb")
            return Platform::X11;
        if (strName.startsWith(u"wayland"))
            return Platform::Wayland;
        if (strName == u"offscreen")
            return Platform::Offscreen;
        return Platform::Other;
    }();
    return enmRunning;
}
} // namespace

void CWindowSystem::ChoosePlatform()
{
    const QByteArray strPlatform = PlatformFor(qEnvironmentVariableIsSet("QT_QPA_PLATFORM"),
                                               qEnvironmentVariable("XDG_SESSION_TYPE"),
                                               qEnvironmentVariable("XDG_CURRENT_DESKTOP"));
    if (!strPlatform.isEmpty())
        qputenv("QT_QPA_PLATFORM", strPlatform);
}

QByteArray CWindowSystem::PlatformFor(bool bUserChose, const QString& strSessionType,
                                      const QString& strDesktops)
{
    // The user's choice stands: QT_QPA_PLATFORM, or -platform, which Qt puts
    // before it.
    if (bUserChose || strSessionType != u"wayland")
        return {};
    if (!strDesktops.split(u':').contains(QStringLiteral("GNOME"), Qt::CaseInsensitive))
        return {};
    // Wayland after all where the session runs no Xwayland.
    return QByteArrayLiteral("xcb;wayland");
}

bool CWindowSystem::IsX11()
{
    return running() == Platform::X11;
}

bool CWindowSystem::IsWayland()
{
    return running() == Platform::Wayland;
}

bool CWindowSystem::IsOffscreen()
{
    return running() == Platform::Offscreen;
}

bool CWindowSystem::CanPlaceWindows()
{
    return !IsWayland();
}

QWidget* CWindowSystem::WidgetOf(const QWindow& objWindow)
{
    for (QWidget* pWidget : QApplication::topLevelWidgets()) {
        if (pWidget->windowHandle() == &objWindow)
            return pWidget;
    }
    return nullptr;
}

void CWindowSystem::Activate(QWidget& objWindow)
{
    // A Wayland compositor gives a window it newly shows the keyboard by
    // itself; asked as well, before it has stacked the window (even after
    // the window's first frame), mutter fails an assertion.
    const QWindow* pWindow = objWindow.windowHandle();
    if (IsWayland() && !(pWindow && pWindow->isExposed()))
        return;
    objWindow.raise();
    objWindow.activateWindow();
}

void CWindowSystem::ShowAnew(QWidget& objWindow)
{
    QWindow* pWindow = objWindow.windowHandle();
    if (!pWindow)
        return;
    pWindow->setVisible(false);
    pWindow->setVisible(true);
    if (CanPlaceWindows())
        Activate(objWindow);
}

Qt::WindowModality CWindowSystem::DialogModality()
{
    return IsWayland() ? Qt::NonModal : Qt::ApplicationModal;
}
