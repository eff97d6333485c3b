#pragma once

#include <QAbstractItemView>

class QHeaderView;

namespace haojian {

// The result list: a report view of uniform rows under a header of columns. It keeps no
// bookkeeping per row (a row's place is its index times the row height), so appending rows
// costs the same whether the list holds a thousand rows or fifty million. Scrolls by rows
// vertically and by pixels horizontally; selects whole rows.
class ResultListView : public QAbstractItemView {
    Q_OBJECT
public:
    explicit ResultListView(QWidget* parent = nullptr);

    QHeaderView* horizontalHeader() const { return header_; }
    // The first row shown at the top and the number of rows that fit whole.
    int FirstVisibleRow() const;
    int VisibleRowCount() const;

    void setModel(QAbstractItemModel* model) override;
    QRect visualRect(const QModelIndex& index) const override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    QModelIndex indexAt(const QPoint& point) const override;

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    int horizontalOffset() const override;
    int verticalOffset() const override;
    bool isIndexHidden(const QModelIndex& index) const override;
    void setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) override;
    QRegion visualRegionForSelection(const QItemSelection& selection) const override;

    void updateGeometries() override;
    void rowsInserted(const QModelIndex& parent, int start, int end) override;
    void scrollContentsBy(int dx, int dy) override;
    void paintEvent(QPaintEvent* event) override;

private:
    int RowCount() const;
    int ColumnCount() const;
    // The row at a viewport y, unclamped.
    int RowAt(int y) const;

    QHeaderView* header_;
    int row_height_;
    bool updating_geometries_ = false;
};

}  // namespace haojian
