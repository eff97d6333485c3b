#pragma once

#include "core/export/table_export.h"

namespace haojian {

// What a split export writes: the field whose values part the rows, and what they go into.
struct SplitExportChoice {
    enum class Into {
        TextFiles,    // a folder of text files, one per value, in the export's line layout
        CsvFiles,     // a folder of CSV files (GBK), one per value
        Workbooks,    // a folder of workbooks, one per value
        OneWorkbook,  // one workbook, a sheet per value
    };
    SplitField field = SplitField::kProvince;
    Into into = Into::TextFiles;

    bool operator==(const SplitExportChoice&) const = default;
};

}  // namespace haojian
