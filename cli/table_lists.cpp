#include "cli/table_lists.h"

#include "cli/cli_support.h"
#include "cli/messages.h"
#include "core/table/column_choice.h"
#include "core/table/table_error.h"
#include "core/text/gbk.h"

namespace haojian::cli {
namespace {

std::string SeparatorName(char separator) {
    switch (separator) {
        case '\t':
            return "TAB-separated";
        case ';':
            return "semicolon-separated";
        default:
            return "comma-separated";
    }
}

// An entry as an example: UTF-8, quoted, made safe to print.
std::string Quoted(std::string_view gbk) {
    return "\"" + Printable(Utf8FromGbk(gbk)) + "\"";
}

}  // namespace

std::unique_ptr<TableReader> OpenTable(const Arguments& args, const std::string& operand) {
    const std::string path = InputPath(operand);
    FileSystem& fs = RealFileSystem();
    // Only a file can be looked at before it is read; anything else is a text list as before.
    if (operand == "-" || !fs.IsFile(path)) return nullptr;
    TableOptions options;
    if (args.values.count(kSheetOption) != 0) {
        options.sheet = GbkArgument(kSheetOption, args.Value(kSheetOption, ""));
    }
    if (args.values.count(kColumnOption) != 0) {
        options.column = GbkArgument(kColumnOption, args.Value(kColumnOption, ""));
    }
    std::unique_ptr<TableReader> table = TableReader::Open(fs, path, options);
    const TableLayout& layout = table->layout();
    if (layout.format == TableFormat::kTextList) {
        if (!options.sheet.empty() || !options.column.empty()) {
            PrintMessage(args.command, QuotedPath(path) +
                                           ": read as a text list: --sheet and --column apply "
                                           "to tables only");
        }
        return nullptr;
    }
    if (layout.format == TableFormat::kWorkbook) {
        PrintMessage(args.command, QuotedPath(path) + ": read as a workbook, sheet \"" +
                                       Printable(Utf8FromGbk(layout.sheet)) + "\"");
    } else {
        PrintMessage(args.command, QuotedPath(path) + ": read as " +
                                       SeparatorName(layout.separator) + " text, " +
                                       layout.encoding);
    }
    std::string column = "号码列: " + ColumnLetters(layout.number_column);
    if (layout.has_header) column += " (" + Printable(Utf8FromGbk(layout.header)) + ")";
    PrintMessage(args.command, QuotedPath(path) + ": " + column);
    return table;
}

void CleanReport::AddExample(std::string_view entry, const CleanedNumber& cleaned) {
    const std::size_t shown = CountedExamples<int>::kShown;
    if (cleaned.kind == CleanedNumber::Kind::kCleaned && changed_.examples.size() < shown) {
        changed_.examples.emplace_back(std::string(entry), cleaned.number);
    } else if (cleaned.kind == CleanedNumber::Kind::kNoNumber &&
               no_number_.examples.size() < shown) {
        no_number_.examples.emplace_back(entry);
    }
}

void CleanReport::Print(const Arguments& args, const std::string& path) const {
    if (args.Has("-q") || (changed_.count == 0 && no_number_.count == 0)) return;
    const auto entries = [](std::size_t n) {
        return std::to_string(n) + (n == 1 ? " entry" : " entries");
    };
    std::string text = QuotedPath(path) + ": the clean-up changed " + entries(changed_.count);
    for (std::size_t i = 0; i < changed_.examples.size(); ++i) {
        text += (i == 0 ? " (" : ", ") + Quoted(changed_.examples[i].first) + " -> " +
                changed_.examples[i].second;
    }
    if (!changed_.examples.empty())
        text += changed_.count > changed_.examples.size() ? ", ...)" : ")";
    text += "; " + entries(no_number_.count) + " held no number";
    for (std::size_t i = 0; i < no_number_.examples.size(); ++i) {
        text += (i == 0 ? " (" : ", ") + Quoted(no_number_.examples[i]);
    }
    if (!no_number_.examples.empty()) {
        text += no_number_.count > no_number_.examples.size() ? ", ...)" : ")";
    }
    PrintMessage(args.command, text);
}

}  // namespace haojian::cli
