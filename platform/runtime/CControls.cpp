// The handles through which forms reach their controls.
#include "CCommandButton.h"
#include "CError.h"
#include "CLabel.h"
#include "CListBox.h"
#include "CSortedListModel.h"
#include "CTextBox.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>

namespace {
template <class T> T& live(const QPointer<T>& pControl)
{
    if (!pControl)
        throw CError(QCoreApplication::translate(
            "CForm", "This window has been closed; the command cannot be completed."));
    return *pControl;
}
} // namespace

CCommandButton::CCommandButton(QPushButton* pButton) : mpButton(pButton) {}

QPushButton& CCommandButton::button() const
{
    return live(mpButton);
}

bool CCommandButton::Visible() const
{
    return !button().isHidden();
}

void CCommandButton::setVisible(bool bVisible)
{
    button().setVisible(bVisible);
}

CTextBox::CTextBox(QLineEdit* pEdit) : mpEdit(pEdit) {}

QLineEdit& CTextBox::edit() const
{
    return live(mpEdit);
}

QString CTextBox::Text() const
{
    return edit().text();
}

void CTextBox::setText(const QString& strText)
{
    edit().setText(strText);
}

void CTextBox::SetFocus()
{
    edit().setFocus(Qt::OtherFocusReason);
}

CLabel::CLabel(QLabel* pLabel) : mpLabel(pLabel) {}

QLabel& CLabel::label() const
{
    return live(mpLabel);
}

QString CLabel::Caption() const
{
    return label().text();
}

void CLabel::setCaption(const QString& strCaption)
{
    label().setText(strCaption);
}

CListBox::CListBox(QListView* pView) : mpView(pView) {}

QListView& CListBox::view() const
{
    return live(mpView);
}

CSortedListModel& CListBox::model() const
{
    return *static_cast<CSortedListModel*>(view().model());
}

void CListBox::checkIndex(int intIndex) const
{
    if (intIndex < 0 || intIndex >= ListCount())
        throw CError(
            QCoreApplication::translate("CListBox", "The list has no entry %1.").arg(intIndex + 1));
}

void CListBox::AddItem(const QString& strText)
{
    model().Insert(strText);
}

void CListBox::RemoveItem(int intIndex)
{
    checkIndex(intIndex);
    // Taking out the selected entry leaves nothing selected; the view would
    // otherwise select a neighbour of its own accord.
    const bool bWasSelected = ListIndex() == intIndex;
    model().RemoveAt(intIndex);
    if (bWasSelected)
        view().selectionModel()->clear();
}

QString CListBox::List(int intIndex) const
{
    checkIndex(intIndex);
    return model().At(intIndex);
}

int CListBox::ListIndex() const
{
    const QModelIndexList lstSelected = view().selectionModel()->selectedIndexes();
    return lstSelected.isEmpty() ? -1 : lstSelected.first().row();
}

void CListBox::setListIndex(int intIndex)
{
    QItemSelectionModel& objSelection = *view().selectionModel();
    if (intIndex == -1) {
        objSelection.clear();
        return;
    }
    checkIndex(intIndex);
    const QModelIndex objIndex = model().index(intIndex);
    objSelection.setCurrentIndex(objIndex, QItemSelectionModel::ClearAndSelect);
    view().scrollTo(objIndex);
}

int CListBox::ListCount() const
{
    return model().Count();
}
