#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/export/export.h"
#include "core/table/table_writer.h"

namespace haojian {

// An export's rows as table cells: the masked number, then one cell per further field of the
// layout; the same fields, in the same order, as the export file's lines.
class ExportCells {
public:
    static constexpr std::size_t kMaxCells = 3;

    // Throws Error naming layout_text when it is none of the six layouts.
    ExportCells(const ExportFilter& filter, std::string_view layout_text);

    // The header naming the layout's fields: "手机号码", then "省份", "城市", "卡类" as it has
    // them.
    std::vector<std::string> Header() const;
    // When row passes the filter, forms its masked number in masked and its cells in cells
    // (the first refers to masked) and gives their count; 0 when it does not pass.
    std::size_t Cells(const ResultRowView& row, std::string& masked,
                      std::array<std::string_view, kMaxCells>& cells) const;

private:
    ExportFilter filter_;
    ExportLayout layout_;
};

// Writes the header of the layout named by layout_text, then the cells of every row that passes
// filter, in table order, to writer; gives the number of rows written beside the header. The
// caller commits the writer. Throws Error for an unknown layout, and as the writer does.
std::size_t ExportRowsAsTable(const ResultTable& rows, const ExportFilter& filter,
                              std::string_view layout_text, TableWriter& writer);

}  // namespace haojian
