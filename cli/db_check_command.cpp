#include <cstdio>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/messages.h"
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
    "Exit status: 0 the database is sound; 1 some line would give 未知 or a wrong field, or\n"
    "the database cannot be read; 2 bad usage.\n";

// A database line for the report: printable ASCII as it is, every other byte as \xHH.
std::string Shown(std::string_view line) {
    std::string shown;
    for (const char c : line) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F) {
            shown.push_back(c);
        } else {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\x%02X", byte);
            shown += escape;
        }
    }
    return shown;
}

void PrintFinding(std::string_view what, const DatabaseCheck::Finding& finding) {
    std::cout << what << ": " << finding.count << "\n";
    for (const auto& example : finding.examples) {
        std::cout << "  line " << example.line << ": " << Shown(example.text) << "\n";
    }
}

void PrintBlocks(const DatabaseCheck& check) {
    std::cout << "segments in use per block:\n";
    for (int decade = 13; decade <= 19; ++decade) {
        std::cout << "  " << decade << "x:";
        for (int digit = 0; digit <= 9; ++digit) {
            char cell[16];
            std::snprintf(cell, sizeof cell, " %6zu", check.per_block[(decade - 13) * 10 + digit]);
            std::cout << cell;
        }
        std::cout << "\n";
    }
    std::cout << "  other beginnings: " << check.other_blocks << "\n";
}

int DbCheck(const Arguments& args) {
    if (!args.operands.empty()) throw UsageError("unexpected argument '" + args.operands[0] + "'");
    const std::string path = DatabasePath(args);
    const DatabaseCheck check = CheckSegmentDatabase(ReadDatabaseBytes(args), DefaultCollation());

    std::cout << "database: " << QuotedPath(path) << "\n"
              << "lines: " << check.lines << "\n";
    PrintBlocks(check);
    PrintFinding("lines whose first seven bytes are not digits", check.bad_prefix);
    PrintFinding("short lines (fewer than 12 bytes)", check.short_lines);
    PrintFinding("province codes in no table", check.unknown_province);
    PrintFinding("city codes in no table", check.unknown_city);
    PrintFinding("card digits other than 1-4", check.unknown_card);
    if (check.nul_offset) {
        std::cout << "NUL byte at offset " << *check.nul_offset << ": the " << check.bytes_after_nul
                  << " bytes after it are never read\n";
    } else {
        std::cout << "NUL bytes: 0\n";
    }
    PrintFinding("empty lines", check.empty);
    PrintFinding("repeated prefixes (the later lines are never used)", check.repeated);
    PrintFinding("lines at province level (city 未知 by design)", check.province_level);
    std::cout << (check.Faulty() ? "result: some lines would give 未知 or a wrong field\n"
                                 : "result: sound\n")
              << std::flush;
    return check.Faulty() ? kExitFailure : kExitSuccess;
}

}  // namespace

int RunDbCheck(const std::vector<std::string>& args) {
    return RunCommand("db check", kHelp, args, {"--db"}, {}, DbCheck);
}

}  // namespace haojian::cli
