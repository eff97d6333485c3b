#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

#include "core/export/export.h"
#include "core/lookup/number_lookup.h"
#include "core/table/number_cleaning.h"
#include "core/table/table_reader.h"
#include "core/table/table_writer.h"

namespace haojian {

// What WriteLookedUpRows is told of each row's number cell as it was cleaned.
using CleanedEntryReport = std::function<void(std::string_view entry, const CleanedNumber&)>;

// Writes every row of table to writer with all its cells as they were, followed by its number's
// province, city and card type; the header row gets those three names, and a row of empty cells
// gets three empty cells. Each number cell is cleaned (CleanNumber) before it is looked up and
// told to cleaned when given. With a filter, only the rows whose look-up passes it are written
// (the header always is). Gives the number of rows written beside the header. Throws as the
// reader and the writer do; the caller commits the writer.
std::size_t WriteLookedUpRows(TableReader& table, const NumberResolver& resolve,
                              TableWriter& writer, const ExportFilter* filter = nullptr,
                              const CleanedEntryReport& cleaned = {});

}  // namespace haojian
