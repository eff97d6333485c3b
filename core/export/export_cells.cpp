#include "core/export/export_cells.h"

#include "core/base/error.h"
#include "core/text/fixed_texts.h"

namespace haojian {
namespace {

// The fields after the number, by name: 'p' province, 'c' city, 't' card type.
std::string_view Fields(ExportLayout layout) {
    switch (layout) {
        case ExportLayout::kNumber:
            return "";
        case ExportLayout::kNumberProvince:
            return "p";
        case ExportLayout::kNumberCity:
            return "c";
        case ExportLayout::kNumberCard:
            return "t";
        case ExportLayout::kNumberProvinceCard:
            return "pt";
        case ExportLayout::kNumberCityCard:
            return "ct";
    }
    return "";
}

}  // namespace

ExportCells::ExportCells(const ExportFilter& filter, std::string_view layout_text)
    : filter_(filter) {
    const std::optional<ExportLayout> layout = ExportLayoutFromText(layout_text);
    if (!layout) throw Error("Unknown export layout \"" + std::string(layout_text) + "\"");
    layout_ = *layout;
}

std::vector<std::string> ExportCells::Header() const {
    std::vector<std::string> header = {std::string(text::kLayoutNumber)};
    for (const char field : Fields(layout_)) {
        header.emplace_back(field == 'p'   ? text::kColumnProvince
                            : field == 'c' ? text::kColumnCity
                                           : text::kColumnCard);
    }
    return header;
}

std::size_t ExportCells::Cells(const ResultRowView& row, std::string& masked,
                               std::array<std::string_view, kMaxCells>& cells) const {
    if (!filter_.Passes(row)) return 0;
    masked.clear();
    AppendMaskedNumber(masked, row.number);
    std::size_t n = 0;
    cells[n++] = masked;
    for (const char field : Fields(layout_)) {
        cells[n++] = field == 'p' ? row.province : field == 'c' ? row.city : row.card_type;
    }
    return n;
}

std::size_t ExportRowsAsTable(const ResultTable& rows, const ExportFilter& filter,
                              std::string_view layout_text, TableWriter& writer) {
    const ExportCells export_cells(filter, layout_text);
    const std::vector<std::string> header = export_cells.Header();
    const std::vector<std::string_view> header_cells(header.begin(), header.end());
    writer.AddHeader(header_cells);
    std::string masked;
    std::array<std::string_view, ExportCells::kMaxCells> cells;
    std::size_t written = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::size_t n = export_cells.Cells(rows.Row(i), masked, cells);
        if (n == 0) continue;
        writer.AddRow(std::span<const std::string_view>(cells.data(), n));
        ++written;
    }
    return written;
}

}  // namespace haojian
