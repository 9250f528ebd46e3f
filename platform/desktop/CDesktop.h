#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>

#include <memory>

class CKeyboardRouter;
class CReadablePalette;
class CX11KeysToFront;

// The program's one filter of every event of the application and, on X11,
// of the X server's events: it passes each to the desktop's classes in this
// order, and the first that takes it ends its road.
//   X server's events: CX11Focus (where the keyboard is), CModality (a
//     window beneath a modal one got the keyboard), CX11KeysToFront.
//   Qt's events: CReadablePalette (a change of the desktop's look; it takes
//     none), CX11Focus (the windows Qt blocks), CModality (input for a
//     window beneath a modal one), CX11KeysToFront (keys Qt delivers, before
//     the router may take them), CKeyboardRouter.
class CDesktop final : public QObject, public QAbstractNativeEventFilter
{
    Q_OBJECT

public:
    // Installs it once for the application, which must exist.
    static void Install();

    bool nativeEventFilter(const QByteArray& strType, void* pMessage, qintptr* pResult) override;

protected:
    bool eventFilter(QObject* pReceiver, QEvent* pEvent) override;

private:
    explicit CDesktop(QObject* pParent);
    ~CDesktop() override;

    bool mbX11;
    std::unique_ptr<CX11KeysToFront> mpKeysToFront;
    std::unique_ptr<CKeyboardRouter> mpRouter;
    std::unique_ptr<CReadablePalette> mpPalette;
};
