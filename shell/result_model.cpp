#include "shell/result_model.h"

#include <array>

#include "core/run/result_table.h"
#include "window/main_window_texts.h"
#include "window/shown_text.h"

namespace haojian {
namespace {

QString Shown(std::string_view gbk) {
    const std::u16string text = ShownText(gbk);
    return QString::fromUtf16(text.data(), qsizetype(text.size()));
}

}  // namespace

ResultModel::ResultModel(const ResultTable& rows, QObject* parent)
    : QAbstractTableModel(parent), rows_(rows) {}

void ResultModel::Appended(std::size_t first, std::size_t count) {
    const int to = int(first + count);
    if (to <= shown_) return;
    beginInsertRows({}, shown_, to - 1);
    shown_ = to;
    endInsertRows();
}

void ResultModel::Cleared() {
    beginResetModel();
    shown_ = 0;
    endResetModel();
}

int ResultModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : shown_;
}

int ResultModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 4;
}

QVariant ResultModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= shown_ ||
        std::size_t(index.row()) >= rows_.size()) {
        return {};
    }
    const ResultRowView row = rows_.Row(std::size_t(index.row()));
    switch (index.column()) {
        case 0:
            return Shown(row.number);
        case 1:
            return Shown(row.province);
        case 2:
            return Shown(row.city);
        case 3:
            return Shown(row.card_type);
        default:
            return {};
    }
}

QVariant ResultModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
    const auto& titles = window_text::kColumnTitles;
    if (section < 0 || section >= int(titles.size())) return {};
    const std::u16string_view title = titles[std::size_t(section)];
    return QString::fromUtf16(title.data(), qsizetype(title.size()));
}

}  // namespace haojian
