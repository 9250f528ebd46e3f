#pragma once

#include <QPointer>
#include <QString>

class QListView;
class CSortedListModel;

// A sorted list box. Indexes are 0-based; ListIndex -1 means no selection.
class CListBox
{
public:
    explicit CListBox(QListView* pView);

    void AddItem(const QString& strText);
    void RemoveItem(int intIndex);
    QString List(int intIndex) const;
    int ListIndex() const;
    void setListIndex(int intIndex);
    int ListCount() const;

private:
    QListView& view() const;
    CSortedListModel& model() const;
    void checkIndex(int intIndex) const;
    QPointer<QListView> mpView;
};
