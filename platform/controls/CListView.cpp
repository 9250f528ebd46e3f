#include "CListView.h"

#include "CListItemDelegate.h"
#include "CSortedListModel.h"

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QScrollBar>

#include <algorithm>
#include <climits>

CListView::CListView(QWidget* pParent) : QListView(pParent)
{
    setVerticalScrollMode(ScrollPerPixel);
    setUniformItemSizes(true);
    setTextElideMode(Qt::ElideMiddle);
    setItemDelegate(new CListItemDelegate(this));
}

void CListView::setModel(QAbstractItemModel* pModel)
{
    QListView::setModel(pModel);
    if (!pModel)
        return;
    // Qt's item views learn of removals only before they happen; the scroll
    // range must follow once the rows are gone.
    connect(pModel, &QAbstractItemModel::rowsRemoved, this, [this] {
        updateGeometries();
        viewport()->update();
    });
}

int CListView::RowHeight() const
{
    // Asked for every row painted and every position looked up, so kept until
    // the font or the style changes.
    if (mintRowHeight > 0)
        return mintRowHeight;
    QStyleOptionViewItem objOption;
    initViewItemOption(&objOption);
    objOption.text = QStringLiteral("Xg");
    objOption.features |= QStyleOptionViewItem::HasDisplay;
    const QSize objSize =
        style()->sizeFromContents(QStyle::CT_ItemViewItem, &objOption, QSize(), this);
    mintRowHeight = std::max(objSize.height(), fontMetrics().height());
    return mintRowHeight;
}

void CListView::changeEvent(QEvent* pEvent)
{
    if (pEvent->type() == QEvent::FontChange || pEvent->type() == QEvent::StyleChange) {
        mintRowHeight = 0;
        updateGeometries();
    }
    QListView::changeEvent(pEvent);
}

int CListView::rowCount() const
{
    return model() ? model()->rowCount(rootIndex()) : 0;
}

int CListView::rowAt(int intY) const
{
    return (intY + verticalOffset()) / RowHeight();
}

int CListView::rowsPerPage() const
{
    return std::max(1, viewport()->height() / RowHeight());
}

QRect CListView::visualRect(const QModelIndex& objIndex) const
{
    if (!objIndex.isValid() || objIndex.parent() != rootIndex() || objIndex.row() >= rowCount())
        return {};
    const int intHeight = RowHeight();
    return {0, objIndex.row() * intHeight - verticalOffset(), viewport()->width(), intHeight};
}

void CListView::scrollTo(const QModelIndex& objIndex, ScrollHint enmHint)
{
    if (!objIndex.isValid())
        return;
    const int intHeight = RowHeight();
    const int intTop = objIndex.row() * intHeight;
    const int intPage = viewport()->height();
    const int intOffset = verticalOffset();
    QScrollBar& objBar = *verticalScrollBar();
    switch (enmHint) {
    case EnsureVisible:
        if (intTop < intOffset)
            objBar.setValue(intTop);
        else if (intTop + intHeight > intOffset + intPage)
            objBar.setValue(intTop + intHeight - intPage);
        break;
    case PositionAtTop:
        objBar.setValue(intTop);
        break;
    case PositionAtBottom:
        objBar.setValue(intTop + intHeight - intPage);
        break;
    case PositionAtCenter:
        objBar.setValue(intTop - (intPage - intHeight) / 2);
        break;
    }
}

QModelIndex CListView::indexAt(const QPoint& ptPoint) const
{
    if (ptPoint.y() < 0 || !viewport()->rect().contains(ptPoint))
        return {};
    const int intRow = rowAt(ptPoint.y());
    if (intRow >= rowCount())
        return {};
    return model()->index(intRow, modelColumn(), rootIndex());
}

void CListView::doItemsLayout()
{
    QAbstractItemView::doItemsLayout();
}

void CListView::reset()
{
    QAbstractItemView::reset();
}

// Typing jumps to the first entry that starts with the typed text. Qt's own
// search asks every row in turn; the sorted model finds it by binary search.
// Keys typed within the keyboard input interval add up to one text, as in
// Qt's views; a text no entry starts with leaves the selection as it is.
void CListView::keyboardSearch(const QString& strSearch)
{
    auto* pModel = qobject_cast<CSortedListModel*>(model());
    if (!pModel) {
        QListView::keyboardSearch(strSearch);
        return;
    }
    const bool bGoesOn = !strSearch.isEmpty() && mobjSinceTyped.isValid() &&
                         !mobjSinceTyped.hasExpired(QApplication::keyboardInputInterval());
    mstrTyped = bGoesOn ? mstrTyped + strSearch : strSearch;
    mobjSinceTyped.start();
    if (mstrTyped.isEmpty())
        return;
    const int intRow = pModel->FindPrefix(mstrTyped);
    if (intRow < 0)
        return;
    // As current index too, so that a screen reader says the entry.
    const QModelIndex objIndex = pModel->index(intRow);
    selectionModel()->setCurrentIndex(objIndex, QItemSelectionModel::ClearAndSelect);
    scrollTo(objIndex);
}

void CListView::paintEvent(QPaintEvent* pEvent)
{
    QPainter objPainter(viewport());
    const int intCount = rowCount();
    if (intCount == 0)
        return;
    const QRect rctDirty = pEvent->rect();
    const int intFirst = std::clamp(rowAt(rctDirty.top()), 0, intCount - 1);
    const int intLast = std::clamp(rowAt(rctDirty.bottom()), 0, intCount - 1);
    const QModelIndex objCurrent = currentIndex();
    const bool bFocus = hasFocus() || viewport()->hasFocus();
    for (int intRow = intFirst; intRow <= intLast; ++intRow) {
        const QModelIndex objIndex = model()->index(intRow, modelColumn(), rootIndex());
        QStyleOptionViewItem objOption;
        initViewItemOption(&objOption);
        objOption.rect = visualRect(objIndex);
        objOption.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
        const bool bSelected = selectionModel()->isSelected(objIndex);
        if (bSelected)
            objOption.state |= QStyle::State_Selected;
        if (bFocus && objIndex == objCurrent && bSelected)
            objOption.state |= QStyle::State_HasFocus;
        objOption.showDecorationSelected = true;
        itemDelegateForIndex(objIndex)->paint(&objPainter, objOption, objIndex);
        // The entry under the focus frame that is not selected shows a dotted
        // frame only: styles would draw it much like a selection.
        if (bFocus && objIndex == objCurrent && !bSelected) {
            objPainter.save();
            objPainter.setPen(QPen(palette().color(QPalette::Text), 1, Qt::DotLine));
            objPainter.drawRect(objOption.rect.adjusted(0, 0, -1, -1));
            objPainter.restore();
        }
    }
}

void CListView::keyPressEvent(QKeyEvent* pEvent)
{
    // Moving keys select the entry they move to, and always select: the
    // first arrow with nothing selected selects the entry under the focus
    // frame, and Home on the first entry selects it.
    CursorAction enmAction = MoveDown;
    switch (pEvent->key()) {
    case Qt::Key_Up:
        enmAction = MoveUp;
        break;
    case Qt::Key_Down:
        enmAction = MoveDown;
        break;
    case Qt::Key_Home:
        enmAction = MoveHome;
        break;
    case Qt::Key_End:
        enmAction = MoveEnd;
        break;
    case Qt::Key_PageUp:
        enmAction = MovePageUp;
        break;
    case Qt::Key_PageDown:
        enmAction = MovePageDown;
        break;
    default:
        QListView::keyPressEvent(pEvent);
        return;
    }
    if ((pEvent->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier || rowCount() == 0) {
        QListView::keyPressEvent(pEvent);
        return;
    }
    const bool bArrow = enmAction == MoveUp || enmAction == MoveDown;
    const QModelIndex objTarget =
        bArrow && currentIndex().isValid() && !selectionModel()->hasSelection()
            ? currentIndex()
            : moveCursor(enmAction, pEvent->modifiers());
    SelectRow(objTarget.row());
    pEvent->accept();
}

void CListView::SelectRow(int intRow)
{
    const QModelIndex objIndex = model()->index(intRow, modelColumn(), rootIndex());
    const bool bMoves = objIndex != currentIndex();
    selectionModel()->setCurrentIndex(objIndex, QItemSelectionModel::ClearAndSelect);
    scrollTo(objIndex);
    // A screen reader follows the entry with the focus; tell it even when the
    // focus stays on the entry it has just selected.
    if (!bMoves && QAccessible::isActive() && hasFocus()) {
        QAccessibleEvent objEvent(this, QAccessible::Focus);
        objEvent.setChild(intRow);
        QAccessible::updateAccessibility(&objEvent);
    }
}

// QListView's own versions of the handlers below consult the per-row layout
// that this view never builds; the item view's generic ones serve instead.
void CListView::resizeEvent(QResizeEvent* pEvent)
{
    QAbstractItemView::resizeEvent(pEvent);
    updateGeometries();
}

void CListView::scrollContentsBy(int intDx, int intDy)
{
    QAbstractItemView::scrollContentsBy(intDx, intDy);
}

void CListView::mouseMoveEvent(QMouseEvent* pEvent)
{
    QAbstractItemView::mouseMoveEvent(pEvent);
}

void CListView::mouseReleaseEvent(QMouseEvent* pEvent)
{
    QAbstractItemView::mouseReleaseEvent(pEvent);
}

void CListView::wheelEvent(QWheelEvent* pEvent)
{
    QAbstractItemView::wheelEvent(pEvent);
}

void CListView::timerEvent(QTimerEvent* pEvent)
{
    QAbstractItemView::timerEvent(pEvent);
}

void CListView::dataChanged(const QModelIndex& objTopLeft, const QModelIndex& objBottomRight,
                            const QList<int>& lstRoles)
{
    QAbstractItemView::dataChanged(objTopLeft, objBottomRight, lstRoles);
}

void CListView::rowsInserted(const QModelIndex& objParent, int intStart, int intEnd)
{
    QAbstractItemView::rowsInserted(objParent, intStart, intEnd);
    updateGeometries();
    viewport()->update();
    tellEntriesChanged(QAccessible::ObjectCreated, intStart);
}

void CListView::rowsAboutToBeRemoved(const QModelIndex& objParent, int intStart, int intEnd)
{
    QAbstractItemView::rowsAboutToBeRemoved(objParent, intStart, intEnd);
    tellEntriesChanged(QAccessible::ObjectDestroyed, intStart);
}

void CListView::tellEntriesChanged(QAccessible::Event enmEvent, int intRow)
{
    // Screen readers keep what they learnt of a table, its number of rows
    // among it, until told that its children changed: once for each change,
    // never for each of the entries a list is filled with before it shows.
    if (!QAccessible::isActive() || !isVisible())
        return;
    QAccessibleEvent objEvent(this, enmEvent);
    objEvent.setChild(intRow);
    QAccessible::updateAccessibility(&objEvent);
}

void CListView::currentChanged(const QModelIndex& objCurrent, const QModelIndex& objPrevious)
{
    QAbstractItemView::currentChanged(objCurrent, objPrevious);
    if (QAccessible::isActive() && objCurrent.isValid() && hasFocus()) {
        QAccessibleEvent objEvent(this, QAccessible::Focus);
        objEvent.setChild(objCurrent.row());
        QAccessible::updateAccessibility(&objEvent);
    }
}

void CListView::selectionChanged(const QItemSelection& objSelected,
                                 const QItemSelection& objDeselected)
{
    QAbstractItemView::selectionChanged(objSelected, objDeselected);
    if (!QAccessible::isActive())
        return;
    if (const QModelIndex objIndex = objSelected.indexes().value(0); objIndex.isValid()) {
        QAccessibleEvent objEvent(this, QAccessible::SelectionAdd);
        objEvent.setChild(objIndex.row());
        QAccessible::updateAccessibility(&objEvent);
    }
    if (const QModelIndex objIndex = objDeselected.indexes().value(0); objIndex.isValid()) {
        QAccessibleEvent objEvent(this, QAccessible::SelectionRemove);
        objEvent.setChild(objIndex.row());
        QAccessible::updateAccessibility(&objEvent);
    }
}

int CListView::horizontalOffset() const
{
    return 0;
}

int CListView::verticalOffset() const
{
    return verticalScrollBar()->value();
}

QModelIndex CListView::moveCursor(CursorAction enmAction, Qt::KeyboardModifiers)
{
    const int intCount = rowCount();
    if (intCount == 0)
        return {};
    const int intCurrent = currentIndex().isValid() ? currentIndex().row() : -1;
    int intRow = intCurrent;
    switch (enmAction) {
    case MoveUp:
    case MovePrevious:
        intRow = intCurrent - 1;
        break;
    case MoveDown:
    case MoveNext:
        intRow = intCurrent + 1;
        break;
    case MoveHome:
        intRow = 0;
        break;
    case MoveEnd:
        intRow = intCount - 1;
        break;
    case MovePageUp:
        intRow = intCurrent - rowsPerPage();
        break;
    case MovePageDown:
        intRow = intCurrent + rowsPerPage();
        break;
    case MoveLeft:
    case MoveRight:
        break;
    }
    return model()->index(std::clamp(intRow, 0, intCount - 1), modelColumn(), rootIndex());
}

void CListView::setSelection(const QRect& rctArea, QItemSelectionModel::SelectionFlags enmCommand)
{
    const int intCount = rowCount();
    const QRect rctRows = rctArea.normalized();
    const int intFirst = std::max(0, rowAt(rctRows.top()));
    const int intLast = std::min(intCount - 1, rowAt(rctRows.bottom()));
    if (intCount == 0 || intFirst > intLast) {
        selectionModel()->select(QItemSelection(), enmCommand);
        return;
    }
    const QItemSelection objSelection(model()->index(intFirst, modelColumn(), rootIndex()),
                                      model()->index(intLast, modelColumn(), rootIndex()));
    selectionModel()->select(objSelection, enmCommand);
}

QRegion CListView::visualRegionForSelection(const QItemSelection& objSelection) const
{
    QRegion objRegion;
    for (const QItemSelectionRange& objRange : objSelection) {
        if (objRange.parent() != rootIndex())
            continue;
        const QRect rctTop = visualRect(model()->index(objRange.top(), modelColumn(), rootIndex()));
        const QRect rctBottom =
            visualRect(model()->index(objRange.bottom(), modelColumn(), rootIndex()));
        objRegion += (rctTop | rctBottom).intersected(viewport()->rect());
    }
    return objRegion;
}

QModelIndexList CListView::selectedIndexes() const
{
    return selectionModel() ? selectionModel()->selectedIndexes() : QModelIndexList();
}

void CListView::updateGeometries()
{
    const int intHeight = RowHeight();
    const int intPage = viewport()->height();
    QScrollBar& objBar = *verticalScrollBar();
    objBar.setSingleStep(intHeight);
    objBar.setPageStep(intPage);
    const qint64 intContent = qint64(rowCount()) * intHeight;
    objBar.setRange(0, int(std::clamp<qint64>(intContent - intPage, 0, INT_MAX)));
    horizontalScrollBar()->setRange(0, 0);
    QAbstractItemView::updateGeometries();
}

bool CListView::isIndexHidden(const QModelIndex&) const
{
    return false;
}

QSize CListView::viewportSizeHint() const
{
    return QAbstractItemView::viewportSizeHint();
}
