#include "shell/result_list_view.h"

#include <QHeaderView>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

namespace haojian {

ResultListView::ResultListView(QWidget* parent)
    : QAbstractItemView(parent), header_(new QHeaderView(Qt::Horizontal, this)) {
    row_height_ = fontMetrics().height() + 4;
    header_->setObjectName(QStringLiteral("ListView1Header"));
    header_->setHighlightSections(false);
    header_->setSectionsClickable(false);
    header_->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setHorizontalScrollMode(ScrollPerPixel);
    setVerticalScrollMode(ScrollPerItem);
    setSelectionBehavior(SelectRows);
    setTextElideMode(Qt::ElideRight);
    const auto relayout = [this] {
        updateGeometries();
        viewport()->update();
    };
    connect(header_, &QHeaderView::sectionResized, this, relayout);
    connect(header_, &QHeaderView::sectionMoved, this, relayout);
    connect(header_, &QHeaderView::geometriesChanged, this, relayout);
}

void ResultListView::setModel(QAbstractItemModel* model) {
    QAbstractItemView::setModel(model);
    header_->setModel(model);
    updateGeometries();
}

int ResultListView::RowCount() const {
    return model() ? model()->rowCount(rootIndex()) : 0;
}

int ResultListView::ColumnCount() const {
    return model() ? model()->columnCount(rootIndex()) : 0;
}

int ResultListView::FirstVisibleRow() const {
    return verticalScrollBar()->value();
}

int ResultListView::VisibleRowCount() const {
    return std::max(1, viewport()->height() / row_height_);
}

int ResultListView::RowAt(int y) const {
    // Floor division, so that a point above the viewport gives a row above the first.
    const int offset = y >= 0 ? y / row_height_ : -((-y + row_height_ - 1) / row_height_);
    return FirstVisibleRow() + offset;
}

QRect ResultListView::visualRect(const QModelIndex& index) const {
    if (!index.isValid() || index.parent() != rootIndex()) return {};
    const int column = index.column();
    return QRect(header_->sectionViewportPosition(column),
                 (index.row() - FirstVisibleRow()) * row_height_, header_->sectionSize(column),
                 row_height_);
}

void ResultListView::scrollTo(const QModelIndex& index, ScrollHint hint) {
    if (!index.isValid()) return;
    const int row = index.row();
    const int first = FirstVisibleRow();
    const int visible = VisibleRowCount();
    int top = first;
    switch (hint) {
        case EnsureVisible:
            if (row < first) {
                top = row;
            } else if (row >= first + visible) {
                top = row - visible + 1;
            }
            break;
        case PositionAtTop:
            top = row;
            break;
        case PositionAtBottom:
            top = row - visible + 1;
            break;
        case PositionAtCenter:
            top = row - visible / 2;
            break;
    }
    verticalScrollBar()->setValue(top);

    const int left = header_->sectionPosition(index.column());
    const int right = left + header_->sectionSize(index.column());
    QScrollBar* bar = horizontalScrollBar();
    if (left < bar->value()) {
        bar->setValue(left);
    } else if (right > bar->value() + viewport()->width()) {
        bar->setValue(std::min(left, right - viewport()->width()));
    }
}

QModelIndex ResultListView::indexAt(const QPoint& point) const {
    const int row = RowAt(point.y());
    const int column = header_->logicalIndexAt(point.x());
    if (point.y() < 0 || row >= RowCount() || column < 0) return {};
    return model()->index(row, column, rootIndex());
}

QModelIndex ResultListView::moveCursor(CursorAction action, Qt::KeyboardModifiers) {
    const int rows = RowCount();
    const int columns = ColumnCount();
    if (rows == 0 || columns == 0) return {};
    const QModelIndex current = currentIndex();
    if (!current.isValid()) return model()->index(0, 0, rootIndex());
    int row = current.row();
    int column = current.column();
    const int page = VisibleRowCount();
    switch (action) {
        case MoveUp:
        case MovePrevious:
            --row;
            break;
        case MoveDown:
        case MoveNext:
            ++row;
            break;
        case MovePageUp:
            row -= page;
            break;
        case MovePageDown:
            row += page;
            break;
        case MoveHome:
            row = 0;
            break;
        case MoveEnd:
            row = rows - 1;
            break;
        case MoveLeft:
            --column;
            break;
        case MoveRight:
            ++column;
            break;
    }
    return model()->index(std::clamp(row, 0, rows - 1), std::clamp(column, 0, columns - 1),
                          rootIndex());
}

int ResultListView::horizontalOffset() const {
    return horizontalScrollBar()->value();
}

int ResultListView::verticalOffset() const {
    return FirstVisibleRow() * row_height_;
}

bool ResultListView::isIndexHidden(const QModelIndex&) const {
    return false;
}

void ResultListView::setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) {
    const int rows = RowCount();
    const int columns = ColumnCount();
    if (rows == 0 || columns == 0 || !selectionModel()) return;
    const QRect area = rect.normalized();
    const int top = std::clamp(RowAt(area.top()), 0, rows - 1);
    const int bottom = std::clamp(RowAt(area.bottom()), 0, rows - 1);
    const QItemSelection selection(model()->index(top, 0, rootIndex()),
                                   model()->index(bottom, columns - 1, rootIndex()));
    selectionModel()->select(selection, command);
}

QRegion ResultListView::visualRegionForSelection(const QItemSelection& selection) const {
    QRegion region;
    const int first = FirstVisibleRow();
    const int last = first + VisibleRowCount();
    for (const QItemSelectionRange& range : selection) {
        const int top = std::max(range.top(), first);
        const int bottom = std::min(range.bottom(), last);
        if (top > bottom) continue;
        region += QRect(0, (top - first) * row_height_, viewport()->width(),
                        (bottom - top + 1) * row_height_);
    }
    return region;
}

void ResultListView::updateGeometries() {
    // Setting the margins resizes the viewport, which lands here again.
    if (updating_geometries_) return;
    updating_geometries_ = true;
    const int header_height = header_->isHidden() ? 0 : header_->sizeHint().height();
    setViewportMargins(0, header_height, 0, 0);
    const QRect area = viewport()->geometry();
    header_->setGeometry(area.left(), area.top() - header_height, area.width(), header_height);

    const int visible = VisibleRowCount();
    QScrollBar* vertical = verticalScrollBar();
    vertical->setSingleStep(1);
    vertical->setPageStep(visible);
    vertical->setRange(0, std::max(0, RowCount() - visible));

    QScrollBar* horizontal = horizontalScrollBar();
    horizontal->setSingleStep(20);
    horizontal->setPageStep(area.width());
    horizontal->setRange(0, std::max(0, header_->length() - area.width()));
    header_->setOffset(horizontal->value());

    updating_geometries_ = false;
    QAbstractItemView::updateGeometries();
}

void ResultListView::rowsInserted(const QModelIndex& parent, int start, int end) {
    QAbstractItemView::rowsInserted(parent, start, end);
    updateGeometries();
    // Only rows that land in the viewport need painting.
    if (parent == rootIndex() && start < FirstVisibleRow() + VisibleRowCount() + 1)
        viewport()->update();
}

void ResultListView::scrollContentsBy(int dx, int dy) {
    if (dx != 0) header_->setOffset(horizontalScrollBar()->value());
    if (dx != 0 || dy != 0) viewport()->update();
}

void ResultListView::paintEvent(QPaintEvent* event) {
    const int rows = RowCount();
    if (rows == 0 || ColumnCount() == 0) return;
    QPainter painter(viewport());
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const QRect dirty = event->rect();
    const int first = FirstVisibleRow();
    const int last = std::min(rows - 1, RowAt(dirty.bottom()));
    const QModelIndex current = currentIndex();
    const bool focused = hasFocus() || viewport()->hasFocus();
    QItemSelectionModel* selection = selectionModel();
    for (int row = std::max(first, RowAt(dirty.top())); row <= last; ++row) {
        for (int visual = 0; visual < header_->count(); ++visual) {
            const int column = header_->logicalIndex(visual);
            if (header_->isSectionHidden(column)) continue;
            const QModelIndex index = model()->index(row, column, rootIndex());
            const QRect cell = visualRect(index);
            if (!cell.intersects(dirty)) continue;
            QStyleOptionViewItem cell_option = option;
            cell_option.rect = cell;
            if (selection && selection->isSelected(index))
                cell_option.state |= QStyle::State_Selected;
            if (focused && index == current) cell_option.state |= QStyle::State_HasFocus;
            if (!isEnabled()) cell_option.state &= ~QStyle::State_Enabled;
            itemDelegateForIndex(index)->paint(&painter, cell_option, index);
        }
    }
}

}  // namespace haojian
