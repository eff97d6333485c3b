#pragma once

#include <string>

#include "core/table/table_reader.h"

namespace haojian {

// The table the current list was imported from, as its rows can be read again: an export of
// the whole rows with their look-ups reads them a second time. Set by a table's import with
// the sheet and number column that were taken (never left to be decided again, so that the
// second read meets the rows the first one did); none after a text list's import. Read so, the
// rows that CarriesEntry (window/list_import.h) takes are the list's entries, in order.
struct ImportedTable {
    std::string path;
    TableOptions options;
    // Whether untidy numbers were cleaned (a table's always are).
    bool clean_numbers = true;
};

}  // namespace haojian
