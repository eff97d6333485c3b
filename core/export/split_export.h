#pragma once

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/export/split_file_names.h"
#include "core/export/table_export.h"
#include "core/files/file_system.h"
#include "core/table/csv_writer.h"
#include "core/table/workbook_writer.h"

namespace haojian {

// Hashes texts so that a map keyed by std::string is searched with a string_view.
struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const noexcept {
        return std::hash<std::string_view>()(text);
    }
};

// A split export into a folder: one file per value (named by SplitFileNames: 广东.txt,
// 未知.txt), each in format, made when the value's first row comes. A table format begins
// each file with the header; text lines have none. Every file replaces its name only once
// complete, at Commit.
class SplitFolderTarget final : public ExportTarget {
public:
    SplitFolderTarget(FileSystem& fs, std::string folder, OutputFormat format, CsvEncoding encoding,
                      std::vector<std::string> header);

    void Add(std::string_view key, std::span<const std::string_view> cells) override;
    void Commit() override;
    // The files written, in the order of their values' first rows.
    const std::vector<std::string>& paths() const { return paths_; }

private:
    FileSystem& fs_;
    std::string folder_;  // ends in a separator, or is empty
    OutputFormat format_;
    CsvEncoding encoding_;
    std::vector<std::string> header_;
    SplitFileNames names_;
    std::unordered_map<std::string, std::size_t, TextHash, std::equal_to<>>
        files_;  // value to index
    std::vector<std::unique_ptr<TableWriter>> writers_;
    std::vector<std::string> paths_;
};

// A split export into one workbook: a sheet per value, in the order of the values' first rows,
// each beginning with the header; a value of more rows than a sheet holds goes on in further
// sheets ("广东 (2)").
class SplitWorkbookTarget final : public ExportTarget {
public:
    SplitWorkbookTarget(FileSystem& fs, const std::string& path, std::vector<std::string> header,
                        std::size_t sheet_rows = kSheetRows);

    void Add(std::string_view key, std::span<const std::string_view> cells) override;
    void Commit() override { workbook_.Commit(); }
    // The values that have sheets.
    std::size_t values() const { return sheets_.size(); }

private:
    WorkbookWriter workbook_;
    std::vector<std::string> header_;
    std::unordered_map<std::string, std::size_t, TextHash, std::equal_to<>> sheets_;  // to sheet
};

}  // namespace haojian
