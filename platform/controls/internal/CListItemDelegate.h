#pragma once

#include <QStyledItemDelegate>

// Draws a list entry's text with its control characters (tabs, line breaks)
// and invisible ones as visible marks, elided in the middle where it is too long, so that
// entries that differ at either end still look different; the whole text
// shows as a tooltip.
class CListItemDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QString displayText(const QVariant& varValue, const QLocale& objLocale) const override;
    bool helpEvent(QHelpEvent* pEvent, QAbstractItemView* pView,
                   const QStyleOptionViewItem& objOption, const QModelIndex& objIndex) override;
};
