#include <algorithm>
#include <cstdio>
#include <iostream>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/input_reading.h"
#include "cli/messages.h"
#include "cli/report_values.h"
#include "cli/standard_output.h"
#include "core/base/counted_examples.h"
#include "core/base/error.h"
#include "core/database/carrier_names.h"
#include "core/database/place_names.h"
#include "core/database/segment_database_writer.h"
#include "core/database/segment_table.h"
#include "core/export/row_statistics.h"
#include "core/files/file_system.h"
#include "core/text/digits.h"
#include "core/text/gbk.h"

namespace haojian::cli {
namespace {

constexpr std::string_view kHelp =
    "Usage: haojian-cli db build [--force] [-q] -o OUT TABLE...\n"
    "\n"
    "Makes a segment database (kelvaronset.dat) from segment tables as they are commonly\n"
    "published: comma- or tab-separated text, UTF-8 (with or without a byte-order mark),\n"
    "UTF-16 with a mark, or GBK; fields may be quoted. The first row names the columns:\n"
    "\n"
    "  segment (seven digits)  phone, prefix, segment, 号段, 号码段 or 手机号段\n"
    "  province                province, 省份 or 省\n"
    "  city                    city, 城市, 市 or 地市 (may be missing)\n"
    "  carrier                 isp, carrier, operator, 运营商, 卡类 or 卡类型\n"
    "\n"
    "Other columns are ignored. Province and city names are mapped to the program's code\n"
    "tables with or without 省, 市, 自治区, 地区, 盟, 州 and the like, under historic names\n"
    "(襄阳 is 襄樊) and with the municipalities as their own city; a city the tables lack\n"
    "keeps its province (code <province>99: the city looks up as 未知). Carriers: 中国移动,\n"
    "移动, China Mobile give 移动; 电信 and 联通 alike; 虚拟 and the virtual operators'\n"
    "forms (移动虚拟, 联通虚拟, 电信虚拟) give 虚拟. Each line of OUT is the prefix, the\n"
    "four-digit city code and the card digit, ended by CR LF, in prefix order; a prefix given\n"
    "twice keeps its first row. OUT is replaced only once it is complete; \"-\" as OUT is\n"
    "standard output, as TABLE standard input.\n"
    "\n"
    "A report on standard error tells the rows read and written and the rows skipped by\n"
    "reason (bad prefix, too few fields, unknown province, unknown carrier, a carrier of two\n"
    "networks such as 移动/联通, a prefix repeated with the same line, a prefix repeated with\n"
    "a different one) and those kept at province level, with counts and the first examples;\n"
    "values longer than 60 bytes are cut and marked with their length. A quoted field may\n"
    "hold separators and line breaks. Where several columns are named as the segment, the one\n"
    "with the most seven-digit values in the first 1000 rows is taken. No database is written\n"
    "when no row could be mapped, even with --force.\n"
    "\n"
    "  -o OUT        the database to write\n"
    "  --force       write OUT even when more than 1 % of the rows could not be mapped\n"
    "  -q            no progress line; db build shows none (a table of real size takes\n"
    "                well under a second), but takes -q as the other commands do\n"
    "  -h, --help    show this text\n"
    "\n"
    "Exit status: 0 done; 1 failure, or more than 1 % of the rows not mapped without --force\n"
    "(OUT is then left as it was); 2 bad usage.\n";

// Rows set aside for one reason: how many, and examples ("FILE:LINE: what").
struct Tally : CountedExamples<std::string> {
    std::map<std::string, std::size_t> values;  // for names: each name and its rows

    void AddValue(const std::string& value) {
        ++count;
        ++values[value];
    }
};

struct BuildReport {
    std::size_t rows = 0;
    Tally bad_prefix;
    Tally too_few_fields;
    Tally unknown_province;
    Tally unknown_carrier;
    Tally ambiguous_carrier;
    Tally repeated;
    Tally conflicting;
    Tally province_level;

    std::size_t Unmapped() const {
        return bad_prefix.count + too_few_fields.count + unknown_province.count +
               unknown_carrier.count + ambiguous_carrier.count;
    }
};

// Places by (province, city): tables repeat the same few hundred pairs.
class PlaceCache {
public:
    const PlacePlacement& Place(const std::string& province, const std::string& city) {
        key_.assign(province).append(1, '\n').append(city);  // no field holds a line end
        auto it = placed_.find(key_);
        if (it == placed_.end()) it = placed_.emplace(key_, map_.Place(province, city)).first;
        return it->second;
    }

private:
    PlaceNameMap map_ = BuiltInPlaceNameMap();
    std::unordered_map<std::string, PlacePlacement> placed_;
    std::string key_;
};

// Maps one row and adds it to database, or tells report why not.
void AddRow(const std::string& path, const SegmentTable::Row& row, PlaceCache& places,
            SegmentDatabaseWriter& database, BuildReport& report) {
    ++report.rows;
    const auto where = [&] { return QuotedPath(path) + ":" + std::to_string(row.line); };
    if (!row.complete) {
        report.too_few_fields.Add(where);
        return;
    }
    if (!IsDigits(row.prefix, 7)) {
        report.bad_prefix.Add([&] { return where() + ": \"" + ShownValue(row.prefix) + "\""; });
        return;
    }
    const PlacePlacement& place = places.Place(row.province, row.city);
    if (place.kind == PlacePlacement::Kind::NoProvince) {
        report.unknown_province.AddValue(row.province);
        return;
    }
    const std::optional<char> card = CardDigitForCarrier(row.carrier);
    if (!card) {
        (IsAmbiguousCarrier(row.carrier) ? report.ambiguous_carrier : report.unknown_carrier)
            .AddValue(row.carrier);
        return;
    }
    switch (database.Add(row.prefix, place.code, *card)) {
        case SegmentDatabaseWriter::Added::kNew:
            break;
        case SegmentDatabaseWriter::Added::kRepeat:
            report.repeated.Add([&] { return where() + ": " + row.prefix; });
            return;
        case SegmentDatabaseWriter::Added::kConflict:
            report.conflicting.Add([&] {
                return where() + ": " +
                       ShownValue(row.province + "/" + row.city + "/" + row.carrier) + " gives " +
                       row.prefix + std::string(place.code) + *card + ", the line kept is " +
                       std::string(database.LineOf(row.prefix));
            });
            return;
    }
    if (place.kind == PlacePlacement::Kind::UnlistedCity) {
        report.province_level.AddValue(row.province + " " +
                                       (row.city.empty() ? "(no city)" : row.city));
    }
}

// The tally's count after what, indented by indent, then its examples below.
void PrintTally(std::string_view indent, std::string_view what, const Tally& tally) {
    std::cerr << indent << what << ": " << tally.count << "\n";
    for (const std::string& example : tally.examples) {
        std::cerr << indent << "    " << example << "\n";
    }
    if (tally.values.empty()) return;
    std::vector<std::pair<std::string, std::size_t>> values(tally.values.begin(),
                                                            tally.values.end());
    std::stable_sort(values.begin(), values.end(),
                     [](const auto& a, const auto& b) { return a.second > b.second; });
    const std::size_t shown = std::min(values.size(), Tally::kShown);
    for (std::size_t i = 0; i < shown; ++i) {
        std::cerr << indent << "    " << ShownValue(values[i].first) << ": "
                  << Counted(values[i].second, "row", "rows") << "\n";
    }
    if (values.size() > shown) {
        std::cerr << indent << "    and " << values.size() - shown << " more\n";
    }
}

int DbBuild(const Arguments& args) {
    const std::string output = OutputPath(args.Value("-o", ""));
    if (output.empty()) throw UsageError("no output file given (-o OUT)");
    if (args.operands.empty()) throw UsageError("no segment table given");

    PlaceCache places;
    SegmentDatabaseWriter database;
    BuildReport report;
    for (const std::string& operand : args.operands) {
        const std::string path = InputPath(operand);
        const InputText text = ReadInputText(*OpenInput(args.command, path), path, kTableLimit);
        if (text.nul) {
            throw Failure(NulByteText(
                path, *text.nul, text.head,
                "the table is refused, and " + QuotedPath(output) + " is left as it was"));
        }
        SegmentTable table;
        try {
            table = ReadSegmentTable(text.bytes, [&](const SegmentTable::Row& row) {
                AddRow(path, row, places, database, report);
            });
        } catch (const Error& e) {
            throw Failure(QuotedPath(path) + ": " + Utf8FromGbk(e.message()));
        }
        std::cerr << "table " << QuotedPath(path) << ": " << EncodingName(table.encoding) << ", "
                  << (table.separator == '\t' ? "tab" : "comma") << "-separated, "
                  << Counted(table.rows, "row", "rows") << "\n";
    }

    std::cerr << "rows read: " << report.rows << "\n"
              << "lines: " << database.size() << "\n"
              << "rows skipped: "
              << report.Unmapped() + report.repeated.count + report.conflicting.count << "\n";
    for (const auto& [what, tally] : {
             std::pair<std::string_view, const Tally*>{"bad prefix", &report.bad_prefix},
             {"too few fields", &report.too_few_fields},
             {"unknown province", &report.unknown_province},
             {"unknown carrier", &report.unknown_carrier},
             {"ambiguous carrier (more than one network)", &report.ambiguous_carrier},
             {"repeated prefix (the first row kept)", &report.repeated},
             {"conflicting prefix (the first row kept, this one differs)", &report.conflicting},
         }) {
        if (tally->count != 0) PrintTally("  ", what, *tally);
    }
    PrintTally("", "rows kept at province level (unknown city)", report.province_level);
    std::cerr << "rows not mapped: " << report.Unmapped() << " ("
              << PercentText(PercentOf(report.Unmapped(), report.rows)) << " of the rows read)\n";

    if (report.rows == 0) {
        throw Failure("the tables hold no rows; " + QuotedPath(output) + " is left as it was");
    }
    if (database.size() == 0) {
        throw Failure("no row could be mapped; " + QuotedPath(output) +
                      " is left as it was (an empty database answers no number)");
    }
    if (report.Unmapped() * 100 > report.rows && !args.Has("--force")) {
        throw Failure("more than 1 % of the rows could not be mapped; " + QuotedPath(output) +
                      " is left as it was (--force writes it anyway)");
    }
    StandardOutputFileSystem fs(args.command);
    database.Write(output, fs);
    std::cerr << "written: " << QuotedPath(output) << ", "
              << Counted(database.size(), "line", "lines") << "\n";
    return kExitSuccess;
}

}  // namespace

int RunDbBuild(const std::vector<std::string>& args) {
    return RunCommand("db build", kHelp, args, {"-o"}, {"--force", "-q"}, DbBuild);
}

}  // namespace haojian::cli
