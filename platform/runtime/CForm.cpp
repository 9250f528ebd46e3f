#include "CForm.h"

#include "CAnnouncer.h"
#include "CDesktop.h"
#include "CError.h"
#include "CFormBuilder.h"
#include "CFormWindow.h"
#include "CMessageBox.h"
#include "CModality.h"
#include "CModalLoop.h"
#include "CWindowSystem.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPointer>
#include <QPushButton>

#include <map>

namespace {
struct Runtime
{
    std::map<std::type_index, std::unique_ptr<CForm>> mapForms;
    bool bInEventLoop = false;
    bool bEnded = false;
};

Runtime& runtime()
{
    static Runtime objRuntime;
    return objRuntime;
}

// Puts the keyboard focus on the first control that Tab reaches.
void focusFirstControl(QWidget& objWindow)
{
    for (QWidget* pWidget = objWindow.nextInFocusChain(); pWidget != &objWindow;
         pWidget = pWidget->nextInFocusChain()) {
        if ((pWidget->focusPolicy() & Qt::TabFocus) && pWidget->isVisibleTo(&objWindow) &&
            pWidget->isEnabled()) {
            pWidget->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}
} // namespace

CForm::CForm(const FormLayout& objLayout) : mobjLayout(objLayout) {}

CForm::~CForm() = default;

CForm* CForm::find(std::type_index objType)
{
    const auto it = runtime().mapForms.find(objType);
    return it == runtime().mapForms.end() ? nullptr : it->second.get();
}

CForm& CForm::adopt(std::type_index objType, std::unique_ptr<CForm> pForm)
{
    return *(runtime().mapForms[objType] = std::move(pForm));
}

int CForm::exec()
{
    // A start form may end the program before the loop runs, as it loads.
    int intResult = 0;
    if (!runtime().bEnded) {
        runtime().bInEventLoop = true;
        intResult = QApplication::exec();
        runtime().bInEventLoop = false;
    }
    ReleaseAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return intResult;
}

void CForm::End()
{
    runtime().bEnded = true;
    if (runtime().bInEventLoop)
        QCoreApplication::exit(0);
}

bool CForm::HasEnded()
{
    return runtime().bEnded;
}

void CForm::ReleaseAll()
{
    // Forms may refer to each other while they go, so take them out first.
    auto mapForms = std::move(runtime().mapForms);
    runtime().mapForms.clear();
    mapForms.clear();
}

void CForm::Restart()
{
    ReleaseAll();
    runtime().bEnded = false;
}

void CForm::RunHandler(const std::function<void()>& fnHandler)
{
    try {
        fnHandler();
    } catch (const CError& objError) {
        CMessageBox::Show(objError.Message());
    } catch (const std::bad_alloc&) {
        CMessageBox::Show(QCoreApplication::translate(
            "CForm", "There is not enough memory to complete the command."));
    } catch (const std::exception& objError) {
        CMessageBox::Show(
            QCoreApplication::translate("CForm", "The command could not be completed: %1")
                .arg(QString::fromUtf8(objError.what())));
    }
}

void CForm::OnClick(const char* pszControl, std::function<void()> fnHandler)
{
    mlstBindings.push_back({pszControl, Binding::Click, std::move(fnHandler)});
}

void CForm::OnDblClick(const char* pszControl, std::function<void()> fnHandler)
{
    mlstBindings.push_back({pszControl, Binding::DblClick, std::move(fnHandler)});
}

bool CForm::IsLoaded() const
{
    return mpWindow != nullptr;
}

bool CForm::IsVisible() const
{
    return mpWindow && mpWindow->isVisible();
}

QWidget* CForm::Window() const
{
    return mpWindow.get();
}

void CForm::Load()
{
    if (mpWindow)
        return;
    CDesktop::Install();
    // The form counts as loaded once its window is whole: a failure on the
    // way leaves it unloaded, and the next reference tries again.
    mpWindow = CFormBuilder::Build(mobjLayout, mlstBindings,
                                   [this] { RunHandler([this] { Form_QueryUnload(); }); });
    RunHandler([this] { Form_Load(); });
}

void CForm::Show()
{
    Load();
    // Every showing starts at the first control; Activate may move on from there.
    if (!mpWindow->isVisible())
        focusFirstControl(*mpWindow);
    mpWindow->show();
    CWindowSystem::Activate(*mpWindow);
    RunHandler([this] { Form_Activate(); });
}

void CForm::ShowModal()
{
    Load();
    mpWindow->BecomeDialogOf(CModality::FrontWindow());
    CModalLoop::Run(*mpWindow, &CFormWindow::Hidden, [this] { Show(); });
}

void CForm::Announce(const QString& strText)
{
    Load();
    auto* pAnnouncer = mpWindow->findChild<CAnnouncer*>(QString(), Qt::FindDirectChildrenOnly);
    if (!pAnnouncer)
        pAnnouncer = new CAnnouncer(mpWindow.get());
    pAnnouncer->Say(strText);
}

void CForm::Hide()
{
    if (mpWindow)
        mpWindow->hide();
}

void CForm::Unload()
{
    if (!mpWindow)
        return;
    RunHandler([this] { Form_Unload(); });
    // The window may be in the middle of delivering the very event that
    // unloads it, so it goes once control is back in the event loop.
    mpWindow->hide();
    mpWindow.release()->deleteLater();
}

QWidget& CForm::control(const char* pszName)
{
    Load();
    auto* pWidget = mpWindow->findChild<QWidget*>(QString::fromUtf8(pszName));
    if (!pWidget)
        throw CError(CFormBuilder::NoControl(pszName));
    return *pWidget;
}

CCommandButton CForm::CommandButton(const char* pszName)
{
    return CCommandButton(qobject_cast<QPushButton*>(&control(pszName)));
}

CTextBox CForm::TextBox(const char* pszName)
{
    return CTextBox(qobject_cast<QLineEdit*>(&control(pszName)));
}

CLabel CForm::Label(const char* pszName)
{
    return CLabel(qobject_cast<QLabel*>(&control(pszName)));
}

CListBox CForm::ListBox(const char* pszName)
{
    return CListBox(qobject_cast<QListView*>(&control(pszName)));
}
