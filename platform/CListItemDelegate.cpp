#include "CListItemDelegate.h"

#include "CVisibleText.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QToolTip>

namespace {
// A tooltip longer than this shows its start and end only.
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
    QString strTip = CVisibleText::Marked(objIndex.data(Qt::DisplayRole).toString());
    if (strTip.size() > TooltipLength)
        strTip = strTip.left(TooltipLength / 2) + QChar(0x2026) + strTip.right(TooltipLength / 2);
    QToolTip::showText(pEvent->globalPos(), strTip, pView->viewport(),
                       pView->visualRect(objIndex));
    return true;
}
