#pragma once

#include <QAccessible>
#include <QElapsedTimer>
#include <QListView>

// A single-column list whose rows all have the same height, so that a row's
// place on screen follows from its number alone. QListView keeps a position
// for every row and recomputes them all after each insert or removal, which
// costs milliseconds at a hundred thousand entries; this view keeps nothing
// per row, so an insert costs only the model's own work and one paint. It is
// still a QListView to the rest of Qt (styles, accessibility).
class CListView : public QListView
{
    Q_OBJECT

public:
    explicit CListView(QWidget* pParent);

    void setModel(QAbstractItemModel* pModel) override;
    QRect visualRect(const QModelIndex& objIndex) const override;
    void scrollTo(const QModelIndex& objIndex, ScrollHint enmHint = EnsureVisible) override;
    QModelIndex indexAt(const QPoint& ptPoint) const override;
    void doItemsLayout() override;
    void reset() override;
    void keyboardSearch(const QString& strSearch) override;

    int RowHeight() const;
    // Makes the entry at intRow current and selects it alone.
    void SelectRow(int intRow);

protected:
    void changeEvent(QEvent* pEvent) override;
    void paintEvent(QPaintEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override;
    void resizeEvent(QResizeEvent* pEvent) override;
    void scrollContentsBy(int intDx, int intDy) override;
    void mouseMoveEvent(QMouseEvent* pEvent) override;
    void mouseReleaseEvent(QMouseEvent* pEvent) override;
    void wheelEvent(QWheelEvent* pEvent) override;
    void timerEvent(QTimerEvent* pEvent) override;
    void dataChanged(const QModelIndex& objTopLeft, const QModelIndex& objBottomRight,
                     const QList<int>& lstRoles = {}) override;
    void rowsInserted(const QModelIndex& objParent, int intStart, int intEnd) override;
    void rowsAboutToBeRemoved(const QModelIndex& objParent, int intStart, int intEnd) override;
    void currentChanged(const QModelIndex& objCurrent, const QModelIndex& objPrevious) override;
    void selectionChanged(const QItemSelection& objSelected,
                          const QItemSelection& objDeselected) override;
    int horizontalOffset() const override;
    int verticalOffset() const override;
    QModelIndex moveCursor(CursorAction enmAction, Qt::KeyboardModifiers enmModifiers) override;
    void setSelection(const QRect& rctArea,
                      QItemSelectionModel::SelectionFlags enmCommand) override;
    QRegion visualRegionForSelection(const QItemSelection& objSelection) const override;
    QModelIndexList selectedIndexes() const override;
    void updateGeometries() override;
    bool isIndexHidden(const QModelIndex& objIndex) const override;
    QSize viewportSizeHint() const override;

private:
    int rowCount() const;
    int rowAt(int intY) const;
    int rowsPerPage() const;
    void tellEntriesChanged(QAccessible::Event enmEvent, int intRow);

    mutable int mintRowHeight = 0;
    QString mstrTyped;
    QElapsedTimer mobjSinceTyped;
};
