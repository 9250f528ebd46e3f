#pragma once

// Checks shared by the tests of windows, at the platform level.
#include <CForm.h>

#include <QApplication>
#include <QScopeGuard>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>

// Runs fnChecks inside the event loop of a modal window. A check that fails
// there returns from fnChecks and leaves the window open: every modal window
// is closed then, innermost first, so that their loops end and the test
// function, back from showing them, ends with the failure.
inline void checkInModalLoop(const std::function<void()>& fnChecks)
{
    fnChecks();
    if (!QTest::currentTestFailed())
        return;
    while (QWidget* pModal = QApplication::activeModalWidget()) {
        pModal->hide();
        if (QApplication::activeModalWidget() == pModal)
            break;
    }
}

// Runs fnChecks, as checkInModalLoop does, once the modal window that the
// test shows next runs its event loop.
inline void whenModal(std::function<void()> fnChecks)
{
    QTimer::singleShot(0, qApp, [fnChecks = std::move(fnChecks)] { checkInModalLoop(fnChecks); });
}

// The controls that Tab visits in objWindow, in order, each as
// "objectName=accessible name".
inline QStringList tabOrder(const QWidget& objWindow)
{
    QStringList lstOrder;
    for (QWidget* pWidget = objWindow.nextInFocusChain(); pWidget != &objWindow;
         pWidget = pWidget->nextInFocusChain()) {
        if (pWidget->focusPolicy() & Qt::TabFocus)
            lstOrder << pWidget->objectName() + "=" + pWidget->accessibleName();
    }
    return lstOrder;
}

// Releases every form, as the program's end does, and checks that every
// window went with its form; the next test begins the program anew.
inline void releaseForms()
{
    CForm::Restart();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(QApplication::topLevelWidgets(), QWidgetList());
}

// Gives the desktop a font of dblPoints (0: keeps the application's own)
// until the returned guard goes, every form released so that the next one
// loaded is built for it.
[[nodiscard]] inline auto desktopFont(qreal dblPoints)
{
    const QFont objSaved = QApplication::font();
    if (dblPoints > 0) {
        releaseForms();
        QFont objDesktop = objSaved;
        objDesktop.setPointSizeF(dblPoints);
        QApplication::setFont(objDesktop);
    }
    return qScopeGuard([objSaved] { QApplication::setFont(objSaved); });
}
