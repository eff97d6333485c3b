#pragma once

#include <QAbstractTableModel>
#include <cstddef>

namespace haojian {

class ResultTable;

// The result list's four columns over the run's rows. The run appends rows to its table
// first and reports them afterwards, so the model counts the rows it has announced and
// shows no more than those.
class ResultModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ResultModel(const ResultTable& rows, QObject* parent = nullptr);

    // Rows [first, first + count) now stand in the table.
    void Appended(std::size_t first, std::size_t count);
    void Cleared();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    const ResultTable& rows_;
    int shown_ = 0;
};

}  // namespace haojian
