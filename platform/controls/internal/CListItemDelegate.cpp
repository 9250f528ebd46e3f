#include "CListItemDelegate.h"

#include "CVisibleText.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QToolTip>

namespace {
// A tooltip for a longer entry shows its start and end only.
constexpr qsizetype TooltipLength = 500;
} // namespace

QString CListItemDelegate::displayText(const QVariant& varValue, const QLocale&) const
{
    return CVisibleText::Marked(varValue.toString());
}

bool CListItemDelegate::helpEvent(QHelpEvent* pEvent, QAbstractItemView* pView,
                                  const QStyleOptionViewItem&, const QModelIndex& objIndex)
{
    if (pEvent->type() != QEvent::ToolTip || !objIndex.isValid())
        return false;
    const QString strTip =
        CVisibleText::Quoted(objIndex.data(Qt::DisplayRole).toString(), TooltipLength);
    QToolTip::showText(pEvent->globalPos(), strTip, pView->viewport(), pView->visualRect(objIndex));
    return true;
}
