#include "window/file_filters.h"

#include <array>

namespace haojian {
namespace {

constexpr FileFilter kTextFiles{u"Text files", u"*.txt", u"txt"};
constexpr FileFilter kAllFiles{u"All files", u"*.*", u""};
constexpr FileFilter kWorkbooks{u"Excel workbooks", u"*.xlsx", u"xlsx"};
constexpr FileFilter kCsvFiles{u"CSV files", u"*.csv", u"csv"};
constexpr FileFilter kChineseAllFiles{u"所有文件", u"*.*", u""};

constexpr std::array kText{kTextFiles, kAllFiles};
constexpr std::array kChineseText{FileFilter{u"文本文件", u"*.txt", u"txt"}, kChineseAllFiles};
// The text dialog's two stay first, as they were before tables could be written.
constexpr std::array kExport{kTextFiles, kAllFiles, kWorkbooks, kCsvFiles};
constexpr std::array kTables{kWorkbooks, kCsvFiles, kAllFiles};
constexpr std::array kCsv{FileFilter{u"CSV文件", u"*.csv", u"csv"}, kChineseAllFiles};
constexpr std::array kWorkbook{FileFilter{u"Excel工作簿", u"*.xlsx", u"xlsx"}, kChineseAllFiles};

}  // namespace

std::span<const FileFilter> FileFilters(FileChoice::Filters filters) {
    switch (filters) {
        case FileChoice::Filters::Text:
            break;
        case FileChoice::Filters::ChineseText:
            return kChineseText;
        case FileChoice::Filters::Export:
            return kExport;
        case FileChoice::Filters::Tables:
            return kTables;
        case FileChoice::Filters::Csv:
            return kCsv;
        case FileChoice::Filters::Workbook:
            return kWorkbook;
    }
    return kText;
}

}  // namespace haojian
