#include <cstdio>
#include <ostream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/console.h"
#include "cli/messages.h"
#include "cli/report_values.h"
#include "cli/standard_output.h"
#include "core/collation/collation.h"
#include "core/database/database_check.h"

namespace haojian::cli {
namespace {

constexpr std::string_view kHelp =
    "Usage: haojian-cli db check [--db FILE]\n"
    "\n"
    "Reads a segment database as the program reads it and reports on standard output: the\n"
    "lines (the figure the window shows), the segments in use per three-digit block 130-199,\n"
    "and the lines that would give a wrong answer, with their first examples:\n"
    "\n"
    "  - lines whose first seven bytes are not seven digits (no number reaches them)\n"
    "  - short lines (fewer than 12 bytes: codes or card digit cut short)\n"
    "  - province or city codes in no table (the look-up gives 未知)\n"
    "  - card digits other than 1-4 (the byte itself becomes the card type)\n"
    "  - a NUL byte, which ends the text: the lines after it are never read\n"
    "\n"
    "It also reports, without failing on them, empty lines, repeated prefixes (the later\n"
    "lines are never used) and lines at province level (city code <province>99, written by\n"
    "'db build' for a city the tables lack: the city looks up as 未知).\n"
    "\n"
    "  --db FILE     the database (default: kelvaronset.dat beside this program)\n"
    "  -h, --help    show this text\n"
    "\n"
    "The report shows counts and, for each kind, the first five lines (cut after 60 bytes).\n"
    "\n"
    "Exit status: 0 the database is sound; 1 some line would give 未知 or a wrong field, no\n"
    "line at all gives a number its place (an empty database among them), or the database\n"
    "cannot be read; 2 bad usage.\n";

// A database line for the report: printable ASCII as it is, every other byte as \xHH; a long
// line cut and marked with its length.
std::string Shown(std::string_view line) {
    std::string shown;
    for (const char c : line.substr(0, kShownValueBytes)) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F) {
            shown.push_back(c);
        } else {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\x%02X", byte);
            shown += escape;
        }
    }
    if (line.size() > kShownValueBytes) shown += "…[" + std::to_string(line.size()) + " bytes]";
    return shown;
}

void PrintFinding(std::ostream& out, std::string_view what, const DatabaseCheck::Finding& finding) {
    out << what << ": " << finding.count << "\n";
    for (const auto& example : finding.examples) {
        out << "  line " << example.line << ": " << Shown(example.text) << "\n";
    }
}

void PrintBlocks(std::ostream& out, const DatabaseCheck& check) {
    out << "segments in use per block:\n";
    for (int decade = 13; decade <= 19; ++decade) {
        out << "  " << decade << "x:";
        for (int digit = 0; digit <= 9; ++digit) {
            char cell[16];
            std::snprintf(cell, sizeof cell, " %6zu", check.per_block[(decade - 13) * 10 + digit]);
            out << cell;
        }
        out << "\n";
    }
    out << "  other beginnings: " << check.other_blocks << "\n";
}

int DbCheck(const Arguments& args) {
    if (!args.operands.empty()) throw UsageError("unexpected argument '" + args.operands[0] + "'");
    const std::string path = DatabasePath(args);
    const InputText text = ReadDatabaseText(args);
    DatabaseCheck check = CheckSegmentDatabase(text.bytes, DefaultCollation());
    // The text ends at a NUL byte: what stands after it (in a stream, not read) is never used.
    check.nul_offset = text.nul;
    if (text.nul) check.bytes_after_nul = text.after_nul.value_or(1);

    // The report is written at once, so that a standard output that takes none of it fails
    // the command.
    std::ostringstream out;
    out << "database: " << QuotedPath(path) << "\n"
        << "lines: " << check.lines << "\n";
    PrintBlocks(out, check);
    PrintFinding(out, "lines whose first seven bytes are not digits", check.bad_prefix);
    PrintFinding(out, "short lines (fewer than 12 bytes)", check.short_lines);
    PrintFinding(out, "province codes in no table", check.unknown_province);
    PrintFinding(out, "city codes in no table", check.unknown_city);
    PrintFinding(out, "card digits other than 1-4", check.unknown_card);
    if (text.nul) {
        const std::string after =
            !text.after_nul        ? "what follows it is never read"
            : *text.after_nul == 0 ? "nothing follows it"
            : *text.after_nul == 1
                ? "the 1 byte after it is never read"
                : "the " + Counted(*text.after_nul, "byte", "bytes") + " after it are never read";
        out << NulByteText(path, *text.nul, text.head, after) << "\n";
    } else {
        out << "NUL bytes: 0\n";
    }
    PrintFinding(out, "empty lines", check.empty);
    PrintFinding(out, "repeated prefixes (the later lines are never used)", check.repeated);
    PrintFinding(out, "lines at province level (city 未知 by design)", check.province_level);
    if (check.sound == 0) {
        out << "result: no line gives a number its place and card type\n";
    } else {
        out << (check.Faulty() ? "result: some lines would give 未知 or a wrong field\n"
                               : "result: sound\n");
    }
    WriteTextToStandardOutput(out.str());
    return check.Faulty() ? kExitFailure : kExitSuccess;
}

}  // namespace

int RunDbCheck(const std::vector<std::string>& args) {
    return RunCommand("db check", kHelp, args, {"--db"}, {}, DbCheck);
}

}  // namespace haojian::cli
