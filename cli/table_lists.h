#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "core/base/counted_examples.h"
#include "core/table/number_cleaning.h"
#include "core/table/table_reader.h"

namespace haojian::cli {

struct Arguments;

// The options that table inputs add to lookup and stats, and their help.
inline constexpr std::string_view kSheetOption = "--sheet";
inline constexpr std::string_view kColumnOption = "--column";
inline constexpr std::string_view kCleanFlag = "--clean";
inline constexpr std::string_view kTableHelp =
    "A list may also be a table: an .xlsx workbook, or a CSV or TSV file (GBK, UTF-8 with or\n"
    "without a byte-order mark, or UTF-16 with one). What a file is comes from its content, and\n"
    "is said on standard error; standard input is always a text list. Of a workbook, the first\n"
    "visible sheet is read. The number column is the one in which most of the first rows hold a\n"
    "mobile number (leftmost on a tie), and a first row that holds none there is the header:\n"
    "standard error says which (号码列: C (手机)). Every entry of a table is cleaned as --clean\n"
    "says. A workbook that is damaged, protected by a password or in the old .xls format, and a\n"
    "table without a column of numbers, are refused with exit status 1.\n"
    "\n"
    "  --sheet NAME|N     the workbook's sheet of that name, or the N-th sheet (from 1)\n"
    "  --column NAME|LETTER|N\n"
    "                     the number column: the one headed NAME, column LETTER (C), or the\n"
    "                     N-th (from 1)\n"
    "  --clean            take the number out of every entry of a text list too: full-width\n"
    "                     digits become ASCII, spaces, no-break spaces and - . ( ) / are\n"
    "                     dropped, a leading +86, 0086 or 86 before eleven digits starting with\n"
    "                     1 is dropped, and a number inside other text is found; an entry with\n"
    "                     no number is looked up as it stands. How many entries were changed\n"
    "                     and how many held no number is said on standard error (not with -q).\n";

// The table named by operand, opened and its layout said on standard error; nothing for a text
// list (standard input, a pipe or device, or a file whose content is one), which the line rule
// reads. Throws TableError, FileError.
std::unique_ptr<TableReader> OpenTable(const Arguments& args, const std::string& operand);

// What the clean-up did to the entries of one list, told on standard error.
class CleanReport {
public:
    void Add(std::string_view entry, const CleanedNumber& cleaned) {
        if (cleaned.kind == CleanedNumber::Kind::kCleaned) {
            changed_.Add([&] { return std::pair(std::string(entry), cleaned.number); });
        } else if (cleaned.kind == CleanedNumber::Kind::kNoNumber) {
            no_number_.Add([&] { return std::string(entry); });
        }
    }
    // Adds counts without examples (for entries whose examples are taken elsewhere).
    void AddCounts(std::size_t changed, std::size_t no_number) {
        changed_.count += changed;
        no_number_.count += no_number;
    }
    bool WantsExamples() const {
        return changed_.examples.size() < CountedExamples<int>::kShown ||
               no_number_.examples.size() < CountedExamples<int>::kShown;
    }
    // Adds the examples of entry without counting it.
    void AddExample(std::string_view entry, const CleanedNumber& cleaned);

    // "FILE: the clean-up changed N entries, e.g. ...; M held no number, e.g. ...".
    void Print(const Arguments& args, const std::string& path) const;

private:
    CountedExamples<std::pair<std::string, std::string>> changed_;
    CountedExamples<std::string> no_number_;
};

}  // namespace haojian::cli
