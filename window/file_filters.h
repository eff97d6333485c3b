#pragma once

#include <array>
#include <span>
#include <string_view>

#include "window/window_seams.h"

namespace haojian {

// One choice of a file dialog's filter: the name it is shown by, followed in the dialog by its
// pattern in parentheses ("Text files(*.txt)"), and the pattern.
struct FileFilter {
    std::u16string_view name;
    std::u16string_view pattern;
};

// The pattern that stands for every file. A toolkit whose patterns need no dot shows and
// matches "*" in its place.
inline constexpr std::u16string_view kAllFilesPattern = u"*.*";

namespace window_text {
inline constexpr std::array<FileFilter, 2> kTextFilters = {
    {{u"Text files", u"*.txt"}, {u"All files", kAllFilesPattern}}};
inline constexpr std::array<FileFilter, 2> kChineseTextFilters = {
    {{u"文本文件", u"*.txt"}, {u"所有文件", kAllFilesPattern}}};
inline constexpr std::array<FileFilter, 2> kCsvFilters = {
    {{u"CSV文件", u"*.csv"}, {u"所有文件", kAllFilesPattern}}};
}  // namespace window_text

// The choices a dialog offers for filters, the first selected.
inline std::span<const FileFilter> FileFilters(FileChoice::Filters filters) {
    switch (filters) {
        case FileChoice::Filters::ChineseText:
            return window_text::kChineseTextFilters;
        case FileChoice::Filters::Csv:
            return window_text::kCsvFilters;
        case FileChoice::Filters::Text:
            break;
    }
    return window_text::kTextFilters;
}

}  // namespace haojian
