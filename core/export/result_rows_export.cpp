#include "core/export/result_rows_export.h"

#include <array>
#include <string>

#include "core/export/export_cells.h"

namespace haojian {
namespace {

// Rows read between two reports of progress.
constexpr std::size_t kProgressStep = 1 << 14;

std::string_view SplitValue(const ResultRowView& row, std::optional<SplitField> split) {
    if (!split) return {};
    switch (*split) {
        case SplitField::kProvince:
            return row.province;
        case SplitField::kCity:
            return row.city;
        case SplitField::kCard:
            return row.card_type;
    }
    return {};
}

}  // namespace

std::size_t ExportResultRows(const ResultTable& rows, const ExportFilter& filter,
                             std::string_view layout_text, std::optional<SplitField> split,
                             ExportTarget& target,
                             const std::function<void(std::size_t read)>& progress) {
    const ExportCells cells(filter, layout_text);
    std::string masked;
    std::array<std::string_view, ExportCells::kMaxCells> row_cells;
    std::size_t handed = 0;
    const std::size_t count = rows.size();
    for (std::size_t i = 0; i < count; ++i) {
        if (progress && i % kProgressStep == 0) progress(i);
        const ResultRowView row = rows.Row(i);
        const std::size_t n = cells.Cells(row, masked, row_cells);
        if (n == 0) continue;
        target.Add(SplitValue(row, split), std::span(row_cells.data(), n));
        ++handed;
    }
    if (progress) progress(count);
    return handed;
}

}  // namespace haojian
