#include "CForm.h"

#include "CError.h"
#include "CFittingLabel.h"
#include "CFormWindow.h"
#include "CKeyboardReturn.h"
#include "CListView.h"
#include "CMessageBox.h"
#include "CSortedListModel.h"
#include "CTextField.h"
#include "CWrappingButton.h"

#include <QApplication>
#include <QEventLoop>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPointer>
#include <QScreen>

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

QString caption(const char* pszCaption)
{
    return QString::fromUtf8(pszCaption ? pszCaption : "");
}

// The caption as a screen reader should say it: without its access-key marker.
QString spokenCaption(QString strSpoken)
{
    for (qsizetype i = 0; i < strSpoken.size(); ++i) {
        if (strSpoken.at(i) == u'&')
            strSpoken.remove(i, 1); // "&&" leaves one '&', skipped by the loop
    }
    return strSpoken;
}

Qt::Alignment alignment(unsigned uFlags)
{
    if (uFlags & AlignCenter)
        return Qt::AlignCenter;
    if (uFlags & AlignRight)
        return Qt::AlignRight | Qt::AlignVCenter;
    return Qt::AlignLeft | Qt::AlignVCenter;
}

QWidget* makeControl(const ControlLayout& objControl, QWidget* pParent)
{
    switch (objControl.enmKind) {
    case ControlKind::CommandButton: {
        auto* pButton = new CWrappingButton(caption(objControl.pszCaption), pParent);
        pButton->setAutoDefault(false);
        pButton->setDefault(objControl.uFlags & DefaultButton);
        pButton->setAccessibleName(spokenCaption(caption(objControl.pszCaption)));
        return pButton;
    }
    case ControlKind::Label: {
        auto* pLabel = new CFittingLabel(pParent);
        pLabel->setText(caption(objControl.pszCaption));
        pLabel->setAlignment(alignment(objControl.uFlags));
        return pLabel;
    }
    case ControlKind::TextBox: {
        return new CTextField(pParent);
    }
    case ControlKind::ListBox: {
        auto* pView = new CListView(pParent);
        pView->setModel(new CSortedListModel(pView));
        pView->setSelectionMode(QAbstractItemView::SingleSelection);
        pView->setEditTriggers(QAbstractItemView::NoEditTriggers);
        return pView;
    }
    case ControlKind::Frame: {
        auto* pFrame = new QGroupBox(caption(objControl.pszCaption), pParent);
        pFrame->setAccessibleName(spokenCaption(caption(objControl.pszCaption)));
        return pFrame;
    }
    }
    return nullptr;
}

void applyFont(const ControlLayout& objControl, QWidget& objWidget)
{
    if (objControl.intFontPoints == 0 && !(objControl.uFlags & Bold))
        return;
    QFont objFont = objWidget.font();
    if (objControl.intFontPoints != 0) {
        objFont.setFamilies({QStringLiteral("Sans Serif")});
        objFont.setStyleHint(QFont::SansSerif);
        objFont.setPointSize(objControl.intFontPoints);
    }
    objFont.setBold(objControl.uFlags & Bold);
    objWidget.setFont(objFont);
}

void centreOnScreen(QWidget& objWindow)
{
    const QScreen* pScreen = QGuiApplication::primaryScreen();
    if (!pScreen)
        return;
    QRect rctWindow(QPoint(), objWindow.size());
    rctWindow.moveCenter(pScreen->availableGeometry().center());
    objWindow.move(rctWindow.topLeft());
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
    runtime().bInEventLoop = true;
    const int intResult = QApplication::exec();
    runtime().bInEventLoop = false;
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
    mlstBindings.push_back({pszControl, false, std::move(fnHandler)});
}

void CForm::OnDblClick(const char* pszControl, std::function<void()> fnHandler)
{
    mlstBindings.push_back({pszControl, true, std::move(fnHandler)});
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

void CForm::build()
{
    mpWindow =
        std::make_unique<CFormWindow>([this] { RunHandler([this] { Form_QueryUnload(); }); });
    CFormWindow& objWindow = *mpWindow;
    objWindow.setObjectName(QString::fromUtf8(mobjLayout.pszName));
    objWindow.setWindowTitle(caption(mobjLayout.pszCaption));
    objWindow.setFixedSize(TwipsToPixels(mobjLayout.intWidth), TwipsToPixels(mobjLayout.intHeight));

    std::map<QString, QWidget*> mapByName;
    QWidget* pPreviousInTabOrder = nullptr;
    QLabel* pLabelAwaitingBuddy = nullptr;
    for (const ControlLayout& objControl : mobjLayout.controls) {
        const QString strName = QString::fromUtf8(objControl.pszName);
        QWidget* pParent = &objWindow;
        if (objControl.pszContainer)
            pParent = mapByName.at(QString::fromUtf8(objControl.pszContainer));
        QWidget* pWidget = makeControl(objControl, pParent);
        pWidget->setObjectName(strName);
        pWidget->setGeometry(TwipsToPixels(objControl.intLeft), TwipsToPixels(objControl.intTop),
                             TwipsToPixels(objControl.intWidth),
                             TwipsToPixels(objControl.intHeight));
        applyFont(objControl, *pWidget);
        mapByName[strName] = pWidget;

        if (auto* pLabel = qobject_cast<QLabel*>(pWidget)) {
            pLabelAwaitingBuddy = pLabel;
            continue;
        }
        if (pWidget->focusPolicy() == Qt::NoFocus)
            continue;
        if (pPreviousInTabOrder)
            QWidget::setTabOrder(pPreviousInTabOrder, pWidget);
        pPreviousInTabOrder = pWidget;
        // A control without a caption of its own is named by the label before
        // it, or else by the frame around it.
        if (pLabelAwaitingBuddy) {
            pLabelAwaitingBuddy->setBuddy(pWidget);
            if (pWidget->accessibleName().isEmpty())
                pWidget->setAccessibleName(
                    spokenCaption(pLabelAwaitingBuddy->text().toUtf8().constData()));
            pLabelAwaitingBuddy = nullptr;
        } else if (auto* pFrame = qobject_cast<QGroupBox*>(pParent);
                   pFrame && pWidget->accessibleName().isEmpty()) {
            pWidget->setAccessibleName(pFrame->accessibleName());
        }
        if (auto* pButton = qobject_cast<QPushButton*>(pWidget)) {
            if (objControl.uFlags & DefaultButton)
                objWindow.SetDefaultButton(pButton);
            if (objControl.uFlags & CancelButton)
                objWindow.SetCancelButton(pButton);
        }
    }

    for (const Binding& objBinding : mlstBindings) {
        QWidget* pWidget = mapByName.at(QString::fromUtf8(objBinding.pszControl));
        auto fnRun = [fnHandler = objBinding.fnHandler] { RunHandler(fnHandler); };
        if (auto* pButton = qobject_cast<QPushButton*>(pWidget);
            pButton && !objBinding.bDoubleClick)
            QObject::connect(pButton, &QPushButton::clicked, pButton, fnRun);
        else if (auto* pView = qobject_cast<QListView*>(pWidget); pView && objBinding.bDoubleClick)
            QObject::connect(pView, &QListView::doubleClicked, pView, fnRun);
    }
    centreOnScreen(objWindow);
}

void CForm::Load()
{
    if (mpWindow)
        return;
    build();
    RunHandler([this] { Form_Load(); });
}

void CForm::Show()
{
    Load();
    mpWindow->show();
    mpWindow->raise();
    mpWindow->activateWindow();
    RunHandler([this] { Form_Activate(); });
}

void CForm::ShowModal()
{
    const CKeyboardReturn objKeyboardReturn;
    Load();
    QPointer<CFormWindow> pWindow = mpWindow.get();
    pWindow->setWindowModality(Qt::ApplicationModal);
    Show();
    if (!pWindow || !pWindow->isVisible())
        return;
    QEventLoop objLoop;
    QObject::connect(pWindow, &CFormWindow::Hidden, &objLoop, &QEventLoop::quit);
    QObject::connect(pWindow, &QObject::destroyed, &objLoop, &QEventLoop::quit);
    objLoop.exec(QEventLoop::DialogExec);
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
        throw CError(QCoreApplication::translate("CForm", "This window has no control \"%1\".")
                         .arg(QString::fromUtf8(pszName)));
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
