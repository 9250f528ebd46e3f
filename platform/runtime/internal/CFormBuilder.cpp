#include "CFormBuilder.h"

#include "CAccessibleFactory.h"
#include "CError.h"
#include "CFontFitting.h"
#include "CFormWindow.h"
#include "CListView.h"
#include "CMessageBox.h"
#include "CSortedListModel.h"
#include "CTextField.h"
#include "CWrappingButton.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QListView>

#include <map>
#include <vector>

namespace {
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
        // Its caption comes once it knows its buddy (see Build).
        auto* pLabel = new QLabel(pParent);
        pLabel->setTextFormat(Qt::PlainText);
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
} // namespace

QString CFormBuilder::NoControl(const char* pszName)
{
    return QCoreApplication::translate("CForm", "This window has no control \"%1\".")
        .arg(QString::fromUtf8(pszName));
}

std::unique_ptr<CFormWindow> CFormBuilder::Build(const FormLayout& objLayout,
                                                 std::span<const CForm::Binding> lstBindings,
                                                 std::function<void()> fnCloseRequested)
{
    CAccessibleFactory::Install();
    auto pWindow = std::make_unique<CFormWindow>(std::move(fnCloseRequested));
    CFormWindow& objWindow = *pWindow;
    objWindow.setObjectName(QString::fromUtf8(objLayout.pszName));
    objWindow.setWindowTitle(caption(objLayout.pszCaption));

    std::map<QString, QWidget*> mapByName;
    const auto byName = [&mapByName](const char* pszName) {
        const auto it = mapByName.find(QString::fromUtf8(pszName));
        if (it == mapByName.end())
            throw CError(NoControl(pszName));
        return it->second;
    };
    std::vector<CFontFitting::Placed> lstPlaced;
    QWidget* pPreviousInTabOrder = nullptr;
    QLabel* pLabelAwaitingBuddy = nullptr;
    const char* pszAwaitingCaption = nullptr;
    for (const ControlLayout& objControl : objLayout.controls) {
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
            pszAwaitingCaption = objControl.pszCaption;
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
                pWidget->setAccessibleName(spokenCaption(caption(pszAwaitingCaption)));
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

    // A label tells screen readers its name as its caption is set: with a
    // buddy, Qt names it without the access-key marker.
    for (const auto& objPlaced : lstPlaced) {
        if (auto* pLabel = qobject_cast<QLabel*>(objPlaced.pWidget))
            pLabel->setText(caption(objPlaced.pLayout->pszCaption));
    }

    for (const CForm::Binding& objBinding : lstBindings) {
        QWidget* pWidget = byName(objBinding.pszControl);
        auto fnRun = [fnHandler = objBinding.fnHandler] { CForm::RunHandler(fnHandler); };
        if (auto* pButton = qobject_cast<QPushButton*>(pWidget);
            pButton && objBinding.enmEvent == CForm::Binding::Click)
            QObject::connect(pButton, &QPushButton::clicked, pButton, fnRun);
        else if (auto* pView = qobject_cast<QListView*>(pWidget);
                 pView && objBinding.enmEvent == CForm::Binding::DblClick)
            QObject::connect(pView, &QListView::doubleClicked, pView, fnRun);
        else
            throw CError(QCoreApplication::translate("CForm", "The control \"%1\" has no %2 event.")
                             .arg(QString::fromUtf8(objBinding.pszControl),
                                  objBinding.enmEvent == CForm::Binding::DblClick
                                      ? QStringLiteral("DblClick")
                                      : QStringLiteral("Click")));
    }
    CFontFitting::Fit(objLayout, lstPlaced, objWindow);
    return pWindow;
}
