#include "shell/result_model.h"

#include <array>

#include "core/run/result_table.h"
#include "shell/gbk_text.h"

namespace haojian {
namespace {

// A text is shown as at most its first kShownBytes bytes and "…": the view lays out what the
// model gives it at every repaint, and a line of megabytes would make each repaint cost seconds.
// Export and copy read the rows themselves and take the whole text.
constexpr std::size_t kShownBytes = 512;

QString Shown(std::string_view gbk) {
    if (gbk.size() <= kShownBytes) return FromGbk(gbk);
    QString prefix = FromGbk(gbk.substr(0, kShownBytes));
    // The cut may have split the last character's two bytes.
    prefix.chop(1);
    return prefix + QChar(0x2026);
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
    static const std::array<const char16_t*, 4> kTitles = {u"手机号码", u"省份", u"城市", u"卡类"};
    if (section < 0 || section >= int(kTitles.size())) return {};
    return QString::fromUtf16(kTitles[std::size_t(section)]);
}

}  // namespace haojian
