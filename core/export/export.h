#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "core/files/file_system.h"
#include "core/run/result_table.h"
#include "core/text/fixed_texts.h"

namespace haojian {

// The six field layouts of an export line; M is the masked number, fields are separated by
// one space.
enum class ExportLayout {
    kNumber,              // M
    kNumberProvince,      // M province
    kNumberCity,          // M city
    kNumberCard,          // M card type
    kNumberProvinceCard,  // M province card type
    kNumberCityCard,      // M city card type
};

// The texts that name the six layouts, in the order of ExportLayout.
inline constexpr std::array<std::string_view, 6> kLayoutTexts = {
    text::kLayoutNumber,     text::kLayoutNumberProvince,     text::kLayoutNumberCity,
    text::kLayoutNumberCard, text::kLayoutNumberProvinceCard, text::kLayoutNumberCityCard,
};

// The card types a filter may ask for, its wildcard first: those the look-up gives.
inline constexpr std::array<std::string_view, 6> kCardTypeChoices = {
    text::kAnyCard,    text::kCardMobile,  text::kCardTelecom,
    text::kCardUnicom, text::kCardVirtual, text::kUnknown,
};

// The layout named by text, compared byte for byte with the six layout texts; none otherwise.
std::optional<ExportLayout> ExportLayoutFromText(std::string_view text);

// The first 9 bytes of number (all of it when shorter), then "**".
void AppendMaskedNumber(std::string& out, std::string_view number);

// The three filter texts of an export. A filter holding its wildcard passes every row; any
// other text passes the rows whose field equals it byte for byte.
struct ExportFilter {
    std::string_view province = text::kAnyProvince;
    std::string_view city = text::kAnyCity;
    std::string_view card_type = text::kAnyCard;

    bool Passes(const ResultRowView& row) const;
};

// The lines of an export: each row that passes a filter, in a layout, ended by CR LF. Safe to
// share between threads.
class ExportLines {
public:
    // Throws Error naming layout_text when it is none of the six layouts.
    ExportLines(const ExportFilter& filter, std::string_view layout_text);

    // Appends the line of row to out when the row passes; gives whether it did.
    bool Append(const ResultRowView& row, std::string& out) const;

private:
    ExportFilter filter_;
    ExportLayout layout_;
};

// The export file at path, written beside it and renamed into place by Commit, so that a
// failure (or no Commit) leaves an existing file at path as it was. Failures are FileError,
// with path as their path.
class ExportFile {
public:
    explicit ExportFile(const std::string& path, FileSystem& fs = RealFileSystem());

    // Writes lines formed by ExportLines, count of them.
    void Write(std::string_view lines, std::size_t count);
    // Closes the file and puts it in place; gives the number of lines written.
    std::size_t Commit();

private:
    ReplacementFile file_;
    std::size_t lines_ = 0;
};

// Writes the rows that pass filter, in table order, one line each in the layout named by
// layout_text and ended by CR LF, to path (replacing a file there), and gives the number of
// lines written. The file replaces path only once complete (see StagedFile), so a failure
// leaves an existing file at path as it was.
//
// Throws Error naming the layout text when it is none of the six (nothing is written), or
// FileError when a file operation fails.
std::size_t ExportRows(const ResultTable& rows, const ExportFilter& filter,
                       std::string_view layout_text, const std::string& path,
                       FileSystem& fs = RealFileSystem());

// "导出符合数据N条".
std::string ExportedStatusText(std::size_t line_count);

}  // namespace haojian
