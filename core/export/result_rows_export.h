#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string_view>

#include "core/export/export.h"
#include "core/export/table_export.h"

namespace haojian {

// Hands the rows of a result table that pass filter to target as table cells in the layout
// named by layout_text, in table order, keyed by their value of split when given (empty
// otherwise); the target is not committed. progress, when given, is told now and then how many
// rows have been read. Gives the number of rows handed on.
//
// Throws Error naming the layout text when it is none of the six (nothing is handed on), and
// what the target throws.
std::size_t ExportResultRows(const ResultTable& rows, const ExportFilter& filter,
                             std::string_view layout_text, std::optional<SplitField> split,
                             ExportTarget& target,
                             const std::function<void(std::size_t read)>& progress = {});

}  // namespace haojian
