#include "window/list_import.h"

#include <algorithm>

#include "core/table/column_choice.h"
#include "core/table/number_cleaning.h"
#include "core/text/fixed_texts.h"
#include "core/text/gbk.h"
#include "window/window_texts.h"

namespace haojian {
namespace {

// Rows read between two looks at the cancel flag and the clock.
constexpr std::uint64_t kProgressEvery = 16384;

bool EndsWithTxt(std::string_view path) {
    if (path.size() < 4) return false;
    std::string end(path.substr(path.size() - 4));
    for (char& c : end) c = char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return end == ".txt";
}

std::u16string Count(std::size_t n) {
    const std::string digits = std::to_string(n);
    return std::u16string(digits.begin(), digits.end());
}

void Take(ImportedEntries& entries, std::string_view entry) {
    const CleanedNumber cleaned = CleanNumber(entry);
    if (cleaned.kind == CleanedNumber::Kind::kCleaned) ++entries.cleaned;
    if (cleaned.kind == CleanedNumber::Kind::kNoNumber) ++entries.no_number;
    entries.numbers.Append(cleaned.number);
}

bool AnyCell(const TableRow& row) {
    return std::any_of(row.cells.begin(), row.cells.end(),
                       [](const std::string& cell) { return !cell.empty(); });
}

}  // namespace

ImportRoute RouteOf(const DetectedFormat& format, std::string_view path, bool clean_text_lists) {
    switch (format.kind) {
        case DetectedFormat::Kind::kZip:
        case DetectedFormat::Kind::kCompoundFile:
            return ImportRoute::Table;
        case DetectedFormat::Kind::kDelimited:
            // A UTF-16 .txt is Excel's "Unicode text", which the line rule cannot read.
            if (!EndsWithTxt(path) || format.mark == ByteOrderMark::kUtf16LittleEndian ||
                format.mark == ByteOrderMark::kUtf16BigEndian) {
                return ImportRoute::Table;
            }
            break;
        case DetectedFormat::Kind::kTextList:
            break;
    }
    return clean_text_lists ? ImportRoute::CleanedTextList : ImportRoute::TextList;
}

ListChoice SheetPick(const std::vector<SheetEntry>& sheets) {
    ListChoice choice;
    choice.purpose = ListChoice::Purpose::Sheet;
    choice.title = window_text::kSheetChoiceTitle;
    choice.prompt = window_text::kSheetChoicePrompt;
    choice.headings = {std::u16string(window_text::kSheetHeading)};
    for (const SheetEntry& sheet : sheets) choice.rows.push_back({Utf16FromGbk(sheet.name)});
    return choice;
}

bool AskForColumn(const std::vector<ColumnCandidate>& columns, std::size_t detected) {
    const std::size_t holding = std::size_t(std::count_if(
        columns.begin(), columns.end(), [](const auto& column) { return column.numbers > 0; }));
    if (holding > 1) return true;
    return detected >= columns.size() || columns[detected].numbers * 2 < columns[detected].rows;
}

ListChoice ColumnPick(const std::vector<ColumnCandidate>& columns, std::size_t detected) {
    ListChoice choice;
    choice.purpose = ListChoice::Purpose::Column;
    choice.title = window_text::kColumnChoiceTitle;
    const std::size_t holding = std::size_t(std::count_if(
        columns.begin(), columns.end(), [](const auto& column) { return column.numbers > 0; }));
    choice.prompt =
        holding > 1 ? window_text::kColumnChoiceSeveral : window_text::kColumnChoiceUnclear;
    choice.headings = {std::u16string(window_text::kColumnHeading),
                       std::u16string(window_text::kHeaderHeading),
                       std::u16string(window_text::kFirstValuesHeading),
                       std::u16string(window_text::kNumbersHeading)};
    for (const ColumnCandidate& column : columns) {
        std::u16string values;
        for (const std::string& value : column.first_values) {
            if (!values.empty()) values += u"、";
            values += Utf16FromGbk(value);
        }
        const std::string letters = ColumnLetters(column.column);
        choice.rows.push_back({std::u16string(letters.begin(), letters.end()),
                               Utf16FromGbk(column.header), values,
                               Count(column.numbers) + u"/" + Count(column.rows)});
    }
    choice.preselected = detected < columns.size() ? detected : 0;
    return choice;
}

bool CarriesEntry(const TableRow& row) {
    return !row.header && AnyCell(row);
}

ImportedEntries ReadTableEntries(TableReader& table, std::size_t column, bool header_row,
                                 const std::function<void(std::uint64_t rows)>& progress,
                                 const std::atomic<bool>& cancel) {
    ImportedEntries entries;
    std::uint64_t rows = 0;
    bool first = true;
    table.ReadRows([&](const TableRow& row) {
        // The reader marks its header by the column it chose; the one taken may differ.
        const bool header = first && header_row;
        first = false;
        if (++rows % kProgressEvery == 0) {
            if (cancel.load(std::memory_order_relaxed)) throw ImportCancelled();
            if (progress) progress(rows);
        }
        if (header || !AnyCell(row)) return;
        Take(entries,
             column < row.cells.size() ? std::string_view(row.cells[column]) : std::string_view());
    });
    return entries;
}

ImportedEntries CleanLines(const LineList& lines) {
    ImportedEntries entries;
    for (std::size_t i = 0; i < lines.size(); ++i) Take(entries, lines[i]);
    return entries;
}

std::string ReadingStatus(std::uint64_t rows) {
    return GbkFromUtf16(std::u16string(window_text::kReadingList) + Count(std::size_t(rows)) +
                        std::u16string(window_text::kRowsSuffix));
}

std::string TableImportedStatus(std::size_t column, std::string_view header,
                                std::size_t no_number) {
    const std::string letters = ColumnLetters(column);
    std::u16string text = Utf16FromGbk(text::kStatusImported) +
                          std::u16string(window_text::kNumberColumn) +
                          std::u16string(letters.begin(), letters.end());
    if (!header.empty()) text += u" (" + Utf16FromGbk(header) + u")";
    text += u"，" + std::u16string(window_text::kNoNumberPrefix) + Count(no_number) +
            std::u16string(window_text::kEntriesSuffix);
    return GbkFromUtf16(text);
}

std::string CleanedListStatus(const ImportedEntries& entries) {
    return GbkFromUtf16(Utf16FromGbk(text::kStatusImported) +
                        std::u16string(window_text::kCleanedPrefix) + Count(entries.cleaned) +
                        std::u16string(window_text::kEntriesSuffix) + u"，" +
                        std::u16string(window_text::kNoNumberPrefix) + Count(entries.no_number) +
                        std::u16string(window_text::kEntriesSuffix));
}

}  // namespace haojian
