#pragma once

#include <array>
#include <span>
#include <string_view>

#include "window/window_seams.h"

namespace haojian {

// One choice of a file dialog's filter: the name it is shown by, followed in the dialog by its
// pattern in parentheses ("Text files(*.txt)"), the pattern, and the suffix a typed name without
// one gets while it is selected (empty: the dialog's default suffix).
struct FileFilter {
    std::u16string_view name;
    std::u16string_view pattern;
    std::u16string_view suffix = {};
};

// The pattern that stands for every file. A toolkit whose patterns need no dot shows and
// matches "*" in its place.
inline constexpr std::u16string_view kAllFilesPattern = u"*.*";

namespace window_text {
inline constexpr FileFilter kTextFiles = {u"Text files", u"*.txt", u"txt"};
inline constexpr FileFilter kAllFiles = {u"All files", kAllFilesPattern};
inline constexpr FileFilter kWorkbookFiles = {u"Excel workbooks", u"*.xlsx", u"xlsx"};
inline constexpr FileFilter kCsvFiles = {u"CSV files", u"*.csv", u"csv"};
inline constexpr FileFilter kChineseAllFiles = {u"所有文件", kAllFilesPattern};

inline constexpr std::array<FileFilter, 2> kTextFilters = {{kTextFiles, kAllFiles}};
inline constexpr std::array<FileFilter, 2> kChineseTextFilters = {
    {{u"文本文件", u"*.txt", u"txt"}, kChineseAllFiles}};
// An export's: the text dialog's two first, as they were before tables could be written.
inline constexpr std::array<FileFilter, 4> kExportFilters = {
    {kTextFiles, kAllFiles, kWorkbookFiles, kCsvFiles}};
inline constexpr std::array<FileFilter, 3> kTableFilters = {{kWorkbookFiles, kCsvFiles, kAllFiles}};
// An import's: the text dialog's first, then every kind of list the program reads. Patterns
// of several suffixes are separated by ";" (a toolkit that separates them otherwise converts).
inline constexpr std::array<FileFilter, 5> kImportFilters = {
    {kTextFiles,
     kWorkbookFiles,
     {u"CSV files", u"*.csv;*.tsv", u"csv"},
     {u"All lists", u"*.txt;*.xlsx;*.csv;*.tsv"},
     kAllFiles}};
inline constexpr std::array<FileFilter, 2> kCsvFilters = {
    {{u"CSV文件", u"*.csv", u"csv"}, kChineseAllFiles}};
inline constexpr std::array<FileFilter, 2> kWorkbookFilters = {
    {{u"Excel工作簿", u"*.xlsx", u"xlsx"}, kChineseAllFiles}};
}  // namespace window_text

// The choices a dialog offers for filters, the first selected.
inline std::span<const FileFilter> FileFilters(FileChoice::Filters filters) {
    switch (filters) {
        case FileChoice::Filters::ChineseText:
            return window_text::kChineseTextFilters;
        case FileChoice::Filters::Export:
            return window_text::kExportFilters;
        case FileChoice::Filters::Tables:
            return window_text::kTableFilters;
        case FileChoice::Filters::Csv:
            return window_text::kCsvFilters;
        case FileChoice::Filters::Workbook:
            return window_text::kWorkbookFilters;
        case FileChoice::Filters::ImportLists:
            return window_text::kImportFilters;
        case FileChoice::Filters::Text:
            break;
    }
    return window_text::kTextFilters;
}

}  // namespace haojian
