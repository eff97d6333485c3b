#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/messages.h"
#include "cli/number_list_stream.h"
#include "cli/progress.h"
#include "cli/standard_output.h"
#include "cli/table_output.h"
#include "core/collation/collation.h"
#include "core/export/export.h"
#include "core/export/list_export.h"
#include "core/export/split_export.h"
#include "core/export/table_export.h"
#include "core/files/open_file_limit.h"
#include "core/lookup/built_in_code_rows.h"
#include "core/lookup/code_table.h"
#include "core/table/text_line_writer.h"
#include "core/text/fixed_texts.h"
#include "core/text/gbk.h"

namespace haojian::cli {
namespace {

constexpr std::string_view kHelp =
    "Usage: haojian-cli export [OPTION]... -o OUT LIST...\n"
    "\n"
    "Looks up every entry of the number lists (\"-\" is standard input), in list order, and\n"
    "writes the rows that pass the three filters to OUT as the desktop program's Export does:\n"
    "one line per row in the chosen layout, every number masked (its first 9 bytes, then\n"
    "\"**\"), GBK bytes, CR LF after every line. OUT is replaced only once it is complete;\n"
    "\"-o -\" writes to standard output. Then prints the status text, such as\n"
    "导出符合数据125条: on standard output, or on standard error when the rows go there.\n"
    "\n"
    "  --db FILE      the segment database (default: kelvaronset.dat beside this program)\n"
    "  --province P   only rows of province P, such as 江苏 or 未知\n"
    "                 (default: 任意省份, any province)\n"
    "  --city C       only rows of city C, such as 南京 or 未知 (default: 任意城市, any city)\n"
    "  --card T       only rows of card type T: 移动, 电信, 联通, 虚拟 or 未知\n"
    "                 (default: 任意卡类, any card type)\n"
    "  --layout L     the fields of a line, one of the six layouts:\n"
    "                   手机号码            the masked number (the default)\n"
    "                   手机号码+省份       number, province\n"
    "                   手机号码+城市       number, city\n"
    "                   手机号码+卡类       number, card type\n"
    "                   手机号码+省份+卡类  number, province, card type\n"
    "                   手机号码+城市+卡类  number, city, card type\n"
    "                 fields separated by one space\n"
    "  -o OUT         the file to write; \"-\" for standard output. Its name says its format:\n"
    "                 .xlsx a workbook, .csv or .tsv a table (a header naming the\n"
    "                 layout's fields, then a row of cells per line), anything else text\n"
    "  --format F     txt, csv, tsv or xlsx, whatever OUT's name says\n"
    "  --split FIELD  province, city or card: one file per value of FIELD in the folder\n"
    "                 OUT (广东.txt, 未知.txt, ... in the chosen format), or with an OUT\n"
    "                 named .xlsx one workbook with a sheet per value; a sheet holds at\n"
    "                 most 1048576 rows and a longer result goes on in the next (广东 (2))\n"
    "  --utf8         CSV and TSV in UTF-8 with a byte-order mark instead of GBK\n"
    "  -q             no progress line\n"
    "  -h, --help     show this text\n"
    "\n"
    "A list cut short by a NUL byte fails the export: the file and the byte's offset are\n"
    "reported, OUT is left as it was (standard output has had the rows before the byte) and\n"
    "the exit status is 1. The status text is printed before OUT is put in place, so that a\n"
    "standard output that cannot take it leaves OUT as it was too.\n"
    "Filters compare exactly, byte for byte: a name no row carries passes no row, and a\n"
    "province or city that the code tables lack is said on standard error. Filter and\n"
    "layout texts are taken as UTF-8, or as GBK when they are not UTF-8. Lists are read as\n"
    "lookup reads them: a piece at a time, and a list that begins with a UTF-8 or UTF-16\n"
    "byte-order mark converted to GBK. A run that takes over a second shows its progress on\n"
    "standard error when that is a terminal. Messages are printed in UTF-8.\n"
    "Exit status: 0 done, 1 failure (OUT left as it was), 2 bad usage.\n";

// The GBK text of an option, or fallback when it was not given.
std::string GbkOption(const Arguments& args, std::string_view option, std::string_view fallback) {
    const auto it = args.values.find(option);
    return it == args.values.end() ? std::string(fallback) : GbkArgument(option, it->second);
}

void CheckCardType(const std::string& card) {
    if (std::find(kCardTypeChoices.begin(), kCardTypeChoices.end(), card) ==
        kCardTypeChoices.end()) {
        throw UsageError("unknown card type '" + Utf8FromGbk(card) +
                         "' (one of 移动, 电信, 联通, 虚拟, 未知, 任意卡类)");
    }
}

// A province or city filter that no row can pass: the look-up gives only the tables' names and
// 未知. Said on standard error; the export still runs, as the window's would.
void WarnOfNameNoRowCarries(const Arguments& args, std::string_view what, const std::string& name,
                            std::string_view wildcard, std::span<const CodeRow> rows) {
    if (name == wildcard || name == text::kUnknown) return;
    for (const CodeRow& row : rows) {
        if (row.name == name) return;
    }
    PrintMessage(args.command, "no row can have the " + std::string(what) + " '" +
                                   Printable(Utf8FromGbk(name)) + "': no " + std::string(what) +
                                   " of the code tables has that name");
}

// What export writes: a format, and whether the rows are split by a field's value.
struct TableChoice {
    OutputFormat format = OutputFormat::kText;
    CsvEncoding encoding = CsvEncoding::kGbk;
    std::optional<SplitField> split;
    bool one_workbook = false;  // split into the sheets of one workbook, not files of a folder
};

TableChoice ChooseTable(const Arguments& args, const std::string& output) {
    TableChoice choice;
    choice.format = ChosenFormat(args, output);
    if (args.values.count("--split") != 0) {
        SplitField field;
        if (!SplitFieldFromName(args.Value("--split", ""), field)) {
            throw UsageError("--split takes province, city or card, not '" +
                             Printable(args.Value("--split", "")) + "'");
        }
        choice.split = field;
        if (IsStandardOutput(output)) {
            throw UsageError(
                "--split writes files into a folder (or one .xlsx workbook), not to "
                "standard output");
        }
        // OUT named .xlsx is the workbook; any other OUT is the folder, of text files unless
        // --format says otherwise.
        const bool named_format = args.values.count("--format") != 0;
        choice.one_workbook = OutputFormatFromPath(output) == OutputFormat::kWorkbook &&
                              (!named_format || choice.format == OutputFormat::kWorkbook);
        if (choice.one_workbook) {
            choice.format = OutputFormat::kWorkbook;
        } else if (!named_format) {
            choice.format = OutputFormat::kText;
        }
    }
    choice.encoding = ChosenEncoding(args, choice.format);
    return choice;
}

// A list cut short fails the export; a file is then left as it was, while standard output has
// had the rows before the NUL byte.
void FailWhenCut(const Arguments& args, const NulCuts& cuts, const std::string& output) {
    if (cuts.Any() && output != kStandardOutput) {
        cuts.Report(args.command);
        throw Failure(QuotedPath(output) + " is left as it was");
    }
}

int Export(const Arguments& args) {
    const std::string output = OutputPath(args.Value("-o", ""));
    if (output.empty()) throw UsageError("no output file given (-o OUT)");
    if (args.operands.empty()) throw UsageError("no number list given");
    const std::string province = GbkOption(args, "--province", text::kAnyProvince);
    const std::string city = GbkOption(args, "--city", text::kAnyCity);
    const std::string card = GbkOption(args, "--card", text::kAnyCard);
    CheckCardType(card);
    const std::string layout = GbkOption(args, "--layout", text::kLayoutNumber);
    if (!ExportLayoutFromText(layout)) {
        throw UsageError("unknown layout '" + Utf8FromGbk(layout) +
                         "' (see 'haojian-cli export --help')");
    }
    const bool data_on_standard_output = IsStandardOutput(output);
    WarnOfNameNoRowCarries(args, "province", province, text::kAnyProvince, kBuiltInProvinceRows);
    WarnOfNameNoRowCarries(args, "city", city, text::kAnyCity, kBuiltInCityRows);

    const TableChoice table = ChooseTable(args, output);

    const ListLookup lookup(args);
    StandardOutputFileSystem fs(args.command);
    const ExportFilter filter{province, city, card};
    NulCuts cuts;
    // Read, looked up and written a piece at a time.
    if (!table.split && table.format == OutputFormat::kText) {
        // The status line is out before the file is put in place: a standard output that
        // cannot take it leaves OUT as it was.
        fs.SetBeforeCommit(output, [&](std::uint64_t lines) {
            PrintStatus(ExportedStatusText(std::size_t(lines)), data_on_standard_output);
        });
        NumberListExport exporter(lookup.database, lookup.tables, DefaultCollation(), filter,
                                  layout, output, fs);
        cuts = ForEachListPiece(args, [&](std::string_view piece, Progress& progress) {
            exporter.Add(piece, [&](std::size_t bytes) { progress.Advance(bytes); });
        });
        FailWhenCut(args, cuts, output);
        exporter.Commit();
    } else {
        const std::vector<std::string> header = ExportCells(filter, layout).Header();
        std::unique_ptr<ExportTarget> target;
        // A file (or a sheet's temporary file) per value stays open until all are complete.
        if (table.split) RaiseOpenFileLimit();
        if (!table.split) {
            target = std::make_unique<SingleTableTarget>(
                OpenTableWriter(fs, output, table.format, table.encoding), header);
        } else if (table.one_workbook) {
            target = std::make_unique<SplitWorkbookTarget>(fs, output, header);
        } else {
            target = std::make_unique<SplitFolderTarget>(fs, output, table.format, table.encoding,
                                                         header);
        }
        NumberListTableExport exporter(lookup.database, lookup.tables, DefaultCollation(), filter,
                                       layout, table.split, *target);
        cuts = ForEachListPiece(args, [&](std::string_view piece, Progress& progress) {
            exporter.Add(piece, [&](std::size_t bytes) { progress.Advance(bytes); });
        });
        FailWhenCut(args, cuts, output);
        // As above, the status line before the files are put in place.
        PrintStatus(ExportedStatusText(exporter.Rows()), data_on_standard_output);
        exporter.Commit();
    }
    return cuts.Report(args.command) ? kExitFailure : kExitSuccess;
}

}  // namespace

int RunExport(const std::vector<std::string>& args) {
    return RunCommand(
        "export", kHelp, args,
        {"--db", "--province", "--city", "--card", "--layout", "-o", "--format", "--split"},
        {"--utf8", "-q"}, Export);
}

}  // namespace haojian::cli
