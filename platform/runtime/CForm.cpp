#include "CForm.h"

#include "CAccessibleFactory.h"
#include "CAnnouncer.h"
#include "CError.h"
#include "CFormWindow.h"
#include "CKeyboardReturn.h"
#include "CKeyboardRouter.h"
#include "CListView.h"
#include "CMessageBox.h"
#include "CSortedListModel.h"
#include "CTextField.h"
#include "CWindowSystem.h"
#include "CWrappingButton.h"

#include <QApplication>
#include <QEventLoop>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPointer>

#include <algorithm>
#include <cmath>
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
        auto* pLabel = new QLabel(pParent);
        pLabel->setTextFormat(Qt::PlainText);
        pLabel->setText(caption(objControl.pszCaption));
        pLabel->setAlignment(alignment(objControl.uFlags));
        return pLabel;
    }
    case ControlKind::TextBox: {
        auto* pField = new CTextField(pParent);
        QObject::connect(pField, &CTextField::Refused, pField,
                         [](const QString& strMessage) { CMessageBox::Show(strMessage); });
        return pField;
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

// The layout tables were drawn for a narrow 8 pt sans-serif on a desktop whose
// own font is 9 pt. A larger desktop font, or a font too wide for the
// captions, grows the whole window in proportion, as a scale factor would:
// every caption of a window keeps one size, and none is ever clipped.
constexpr qreal DesignPoints = 8.0;
constexpr qreal DesktopDesignPoints = 9.0;
constexpr qreal GrowthStep = 1.05;
constexpr int MaxGrowthSteps = 40;

QFont formFont(qreal dblPoints, bool bBold)
{
    QFont objFont;
    objFont.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                         QStringLiteral("Arial"), QStringLiteral("Helvetica")});
    objFont.setStyleHint(QFont::SansSerif);
    objFont.setPointSizeF(dblPoints);
    objFont.setBold(bBold);
    return objFont;
}

qreal desktopScale()
{
    const QFont objDesktop = QApplication::font();
    const qreal dblPoints = objDesktop.pointSizeF() > 0 ? objDesktop.pointSizeF()
                                                        : objDesktop.pixelSize() * 72.0 / 96.0;
    return std::max<qreal>(1.0, dblPoints / DesktopDesignPoints);
}

int scaled(int intTwips, qreal dblScale)
{
    return int(std::lround(intTwips * dblScale / TwipsPerPixel));
}

struct PlacedControl
{
    const ControlLayout* pLayout;
    QWidget* pWidget;
};

void applyScale(const FormLayout& objLayout, const std::vector<PlacedControl>& lstControls,
                QWidget& objWindow, qreal dblScale)
{
    objWindow.setFixedSize(scaled(objLayout.intWidth, dblScale),
                           scaled(objLayout.intHeight, dblScale));
    objWindow.setFont(formFont(DesignPoints * dblScale, false));
    for (const auto& [pLayout, pWidget] : lstControls) {
        pWidget->setGeometry(scaled(pLayout->intLeft, dblScale), scaled(pLayout->intTop, dblScale),
                             scaled(pLayout->intWidth, dblScale),
                             scaled(pLayout->intHeight, dblScale));
        if (pLayout->intFontPoints != 0)
            pWidget->setFont(formFont(pLayout->intFontPoints * dblScale, pLayout->uFlags & Bold));
    }
}

bool fits(const QWidget& objWidget)
{
    const QFontMetrics objMetrics(objWidget.font());
    if (const auto* pButton = qobject_cast<const CWrappingButton*>(&objWidget))
        return pButton->CaptionFits();
    if (const auto* pLabel = qobject_cast<const QLabel*>(&objWidget)) {
        const QRect rctNeeded = objMetrics.boundingRect(
            QRect(), Qt::TextShowMnemonic | Qt::TextSingleLine, pLabel->text());
        return rctNeeded.width() <= pLabel->contentsRect().width() &&
               objMetrics.height() <= pLabel->contentsRect().height();
    }
    if (const auto* pFrame = qobject_cast<const QGroupBox*>(&objWidget))
        return objMetrics.horizontalAdvance(pFrame->title()) + objMetrics.height() <=
               pFrame->width();
    if (const auto* pEdit = qobject_cast<const QLineEdit*>(&objWidget))
        return pEdit->minimumSizeHint().height() <= pEdit->height();
    return true;
}

// The smallest scale, from the desktop's own, at which every caption fits.
qreal fittingScale(const FormLayout& objLayout, const std::vector<PlacedControl>& lstControls,
                   QWidget& objWindow)
{
    qreal dblScale = desktopScale();
    for (int i = 0; i < MaxGrowthSteps; ++i) {
        applyScale(objLayout, lstControls, objWindow, dblScale);
        if (std::all_of(lstControls.begin(), lstControls.end(),
                        [](const PlacedControl& objControl) { return fits(*objControl.pWidget); }))
            break;
        dblScale *= GrowthStep;
    }
    return dblScale;
}

QString noControl(const char* pszName)
{
    return QCoreApplication::translate("CForm", "This window has no control \"%1\".")
        .arg(QString::fromUtf8(pszName));
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
    CAccessibleFactory::Install();
    // The form counts as loaded once its window is whole: a failure on the
    // way leaves it unloaded, and the next reference tries again.
    auto pWindow =
        std::make_unique<CFormWindow>([this] { RunHandler([this] { Form_QueryUnload(); }); });
    CFormWindow& objWindow = *pWindow;
    objWindow.setObjectName(QString::fromUtf8(mobjLayout.pszName));
    objWindow.setWindowTitle(caption(mobjLayout.pszCaption));

    std::map<QString, QWidget*> mapByName;
    const auto byName = [&mapByName](const char* pszName) {
        const auto it = mapByName.find(QString::fromUtf8(pszName));
        if (it == mapByName.end())
            throw CError(noControl(pszName));
        return it->second;
    };
    std::vector<PlacedControl> lstPlaced;
    QWidget* pPreviousInTabOrder = nullptr;
    QLabel* pLabelAwaitingBuddy = nullptr;
    for (const ControlLayout& objControl : mobjLayout.controls) {
        const QString strName = QString::fromUtf8(objControl.pszName);
        QWidget* pParent = &objWindow;
        if (objControl.pszContainer)
            pParent = byName(objControl.pszContainer);
        QWidget* pWidget = makeControl(objControl, pParent);
        pWidget->setObjectName(strName);
        lstPlaced.push_back({&objControl, pWidget});
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
        QWidget* pWidget = byName(objBinding.pszControl);
        auto fnRun = [fnHandler = objBinding.fnHandler] { RunHandler(fnHandler); };
        if (auto* pButton = qobject_cast<QPushButton*>(pWidget);
            pButton && !objBinding.bDoubleClick)
            QObject::connect(pButton, &QPushButton::clicked, pButton, fnRun);
        else if (auto* pView = qobject_cast<QListView*>(pWidget); pView && objBinding.bDoubleClick)
            QObject::connect(pView, &QListView::doubleClicked, pView, fnRun);
        else
            throw CError(QCoreApplication::translate("CForm", "The control \"%1\" has no %2 event.")
                             .arg(QString::fromUtf8(objBinding.pszControl),
                                  objBinding.bDoubleClick ? QStringLiteral("DblClick")
                                                          : QStringLiteral("Click")));
    }
    fittingScale(mobjLayout, lstPlaced, objWindow);
    mpWindow = std::move(pWindow);
}

void CForm::Load()
{
    if (mpWindow)
        return;
    CKeyboardRouter::Install();
    CWindowSystem::Install();
    build();
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
    const CKeyboardReturn objKeyboardReturn;
    Load();
    QPointer<CFormWindow> pWindow = mpWindow.get();
    pWindow->BecomeDialogOf(CKeyboardRouter::FrontWindow());
    const CWindowSystem::ModalShowing objModal(*pWindow);
    Show();
    if (!pWindow || !pWindow->isVisible())
        return;
    QEventLoop objLoop;
    QObject::connect(pWindow, &CFormWindow::Hidden, &objLoop, &QEventLoop::quit);
    QObject::connect(pWindow, &QObject::destroyed, &objLoop, &QEventLoop::quit);
    objLoop.exec(QEventLoop::DialogExec);
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
        throw CError(noControl(pszName));
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
