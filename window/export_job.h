#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/files/file_system.h"
#include "core/run/result_table.h"
#include "core/text/fixed_texts.h"
#include "window/imported_table.h"

namespace haojian {

class SegmentDatabase;

// The layout box's items: the six layouts of an export line, then the whole rows of an imported
// table with the look-ups added.
inline constexpr std::array<std::string_view, 7> kLayoutBoxItems = {
    text::kLayoutNumber,     text::kLayoutNumberProvince,     text::kLayoutNumberCity,
    text::kLayoutNumberCard, text::kLayoutNumberProvinceCard, text::kLayoutNumberCityCard,
    text::kLayoutWholeRows,
};

// Whether a layout box's text asks for the whole rows of the imported table.
inline bool IsWholeRowsLayout(std::string_view layout_text) {
    return layout_text == text::kLayoutWholeRows;
}

// One export as the window starts it: everything is taken on the UI thread at the start, and the
// file is written off it.
struct ExportJob {
    // The rows the export covers: those there were when it started.
    std::shared_ptr<const ResultTable> rows;
    std::string province;
    std::string city;
    std::string card_type;
    std::string layout;
    // The chosen file; its name's extension says the format (OutputFormatFromPath): a workbook,
    // CSV or TSV, else the export's text lines.
    std::string path;
    // For the whole rows: the table to read again, and the database to look its numbers up in
    // (loaded once at start and never changed, so that it may be read from any thread).
    std::optional<ImportedTable> table;
    const SegmentDatabase* database = nullptr;
};

// Writes the export and gives the number of rows written (the header not counted). The layouts
// write the rows that pass the filters, masked, as text lines or as a table with a header; the
// whole rows read the table again and write every row whose look-up passes the filters, as a
// table (tab-separated for a name that is none of a table's). CSV and TSV are GBK. The target is
// replaced only once complete. Throws Error, FileError, TableError.
std::size_t WriteExport(const ExportJob& job, FileSystem& files);

}  // namespace haojian
