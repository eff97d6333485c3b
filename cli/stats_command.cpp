#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/messages.h"
#include "cli/number_list_stream.h"
#include "cli/progress.h"
#include "cli/standard_output.h"
#include "cli/table_lists.h"
#include "core/collation/collation.h"
#include "core/export/row_statistics.h"
#include "core/export/statistics_workbook.h"
#include "core/files/buffered_writer.h"
#include "core/lookup/number_lookup.h"
#include "core/table/number_cleaning.h"
#include "core/table/table_writer.h"
#include "core/text/gbk.h"

namespace haojian::cli {
namespace {

constexpr std::string_view kHelp =
    "Usage: haojian-cli stats [--db FILE] [--by province|city|card] [--utf8] [-o OUT.xlsx]\n"
    "                         [-q] [--clean] [--sheet NAME|N] [--column NAME|LETTER|N] LIST...\n"
    "\n"
    "Looks up every entry of the number lists (\"-\" is standard input) as lookup does and\n"
    "counts them by province, city or card type: one line per name on standard output,\n"
    "\n"
    "  name TAB count TAB per-cent of all entries (two decimals and \"%\"), LF\n"
    "\n"
    "largest count first, equal counts in the order of the user's locale. The names are\n"
    "those lookup gives, 未知 included; the counts are those of the desktop program's\n"
    "statistics.\n"
    "\n"
    "  --db FILE       the segment database (default: kelvaronset.dat beside this program)\n"
    "  --by FIELD      province (the default), city or card\n"
    "  --utf8          write UTF-8 instead of GBK\n"
    "  -o OUT.xlsx     write a workbook instead: a sheet each for province, city and card\n"
    "                  type (name, count, share) and a bar chart of the provinces; OUT is\n"
    "                  replaced only once complete\n"
    "  -q              no progress line\n"
    "  -h, --help      show this text\n"
    "\n"
    "Lists are read as lookup reads them, a piece at a time (byte-order marks included), so\n"
    "that only the names are held; a list cut short by a\n"
    "NUL byte is counted up to it, then the file and offset are reported and the exit status\n"
    "is 1. Messages are printed in UTF-8. Exit status: 0 done, 1 failure, 2 bad usage.\n";

// Tells the lists that a NUL byte cut short; gives the exit status.
int ReportCuts(const Arguments& args, const std::vector<NulCuts>& cuts) {
    bool cut = false;
    for (const NulCuts& c : cuts) cut = c.Report(args.command) || cut;
    return cut ? kExitFailure : kExitSuccess;
}

int Stats(const Arguments& args) {
    const std::string by = args.Value("--by", "province");
    if (args.values.count("-o") != 0 &&
        OutputFormatFromPath(args.Value("-o", "")) != OutputFormat::kWorkbook) {
        throw UsageError("-o writes a workbook: give it a name ending in .xlsx");
    }
    if (by != "province" && by != "city" && by != "card") {
        throw UsageError("--by takes province, city or card, not '" + by + "'");
    }
    if (args.operands.empty()) throw UsageError("no number list given");
    const bool utf8 = args.Has("--utf8");

    const ListLookup lookup(args);
    const NumberResolver& resolve = lookup.resolve;
    const bool clean = args.Has(kCleanFlag);
    // Counted a piece or a row at a time: only the distinct names are held.
    RowCounter counter;
    const auto count = [&](std::string_view entry, CleanReport& report) {
        const CleanedNumber cleaned = CleanNumber(entry);
        report.Add(entry, cleaned);
        const LookupResult r = resolve(cleaned.number);
        counter.Add(r.province, r.city, r.card_type);
    };
    std::vector<NulCuts> cuts;
    for (const std::string& operand : args.operands) {
        CleanReport report;
        if (const std::unique_ptr<TableReader> table = OpenTable(args, operand)) {
            table->ReadRows([&](const TableRow& row) {
                bool empty = true;
                for (const std::string& cell : row.cells) empty = empty && cell.empty();
                if (!row.header && !empty) count(row.NumberCell(), report);
            });
        } else {
            Arguments one = args;
            one.operands = {operand};
            cuts.push_back(ForEachListPiece(one, [&](std::string_view piece, Progress& progress) {
                if (clean) {
                    ForEachLine(piece, [&](std::string_view entry) { count(entry, report); });
                } else {
                    ResolveLines(piece, resolve, [&](const LookupResult& r) {
                        counter.Add(r.province, r.city, r.card_type);
                    });
                }
                progress.Advance(piece.size());
            }));
        }
        report.Print(args, InputPath(operand));
    }
    const RowStatistics statistics = counter.Sorted(DefaultCollation());

    if (args.values.count("-o") != 0) {
        const std::string output = OutputPath(args.Value("-o", ""));
        if (IsStandardOutput(output)) {
            throw UsageError(
                "-o writes a workbook file; the table goes to standard output "
                "without it");
        }
        StandardOutputFileSystem fs(args.command);
        SaveStatisticsWorkbook(statistics, output, fs);
        return ReportCuts(args, cuts);
    }

    const FieldCounts& counts = by == "province" ? statistics.provinces
                                : by == "city"   ? statistics.cities
                                                 : statistics.card_types;
    StandardOutput standard_output;
    BufferedWriter out(standard_output, std::size_t(64) << 10);
    for (const NameCount& name : counts.names) {
        out.Append(utf8 ? Utf8FromGbk(name.name) : name.name);
        out.Append("\t" + std::to_string(name.count) + "\t" + counts.PercentText(name.count) +
                   "\n");
    }
    out.Flush();
    return ReportCuts(args, cuts);
}

}  // namespace

int RunStats(const std::vector<std::string>& args) {
    const std::string help = std::string(kHelp) + "\n" + std::string(kTableHelp);
    return RunCommand("stats", help, args, {"--db", "--by", "-o", kSheetOption, kColumnOption},
                      {"--utf8", "-q", kCleanFlag}, Stats);
}

}  // namespace haojian::cli
