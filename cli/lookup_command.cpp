#include <array>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/messages.h"
#include "cli/number_list_stream.h"
#include "cli/progress.h"
#include "cli/standard_output.h"
#include "cli/table_output.h"
#include "core/collation/collation.h"
#include "core/files/buffered_writer.h"
#include "core/lookup/number_lookup.h"
#include "core/table/packed_rows.h"
#include "core/table/text_line_writer.h"
#include "core/text/fixed_texts.h"
#include "core/text/gbk.h"
#include "core/text/line_list.h"
#include "core/threads/ordered_chunks.h"

namespace haojian::cli {
namespace {

constexpr std::string_view kHelp =
    "Usage: haojian-cli lookup [--db FILE] [-o OUT] [--format F] [--utf8] [-q] LIST...\n"
    "\n"
    "Looks up every entry of each number list (\"-\" is standard input) and writes one line\n"
    "per entry to standard output: the number, province, city and card type, separated by\n"
    "TAB and ended by LF. A list is read as the desktop program imports one: any line end,\n"
    "a NUL byte ends the text, and entries are neither trimmed nor tested. Numbers outside\n"
    "the database get 未知 for province and city and their card type from the first three\n"
    "digits; the card types are 移动, 电信, 联通, 虚拟 and 未知. A list cut short by a NUL\n"
    "byte is looked up up to it, then the file and the byte's offset are reported and the\n"
    "exit status is 1.\n"
    "\n"
    "  --db FILE     the segment database (default: kelvaronset.dat beside this program)\n"
    "  --utf8        write UTF-8 instead of the GBK bytes that the files and tables hold\n"
    "                (a CSV or TSV file in UTF-8 with a byte-order mark)\n"
    "  -o OUT        write to the file OUT instead, replaced only once complete; its name\n"
    "                says its format: .xlsx a workbook, .csv or .tsv a table, each with the\n"
    "                header 手机号码, 省份, 城市, 卡类 and a row per entry; anything else\n"
    "                the lines above\n"
    "  --format F    txt, csv, tsv or xlsx, whatever OUT's name says; without -o, the\n"
    "                table goes to standard output\n"
    "  -q            no progress line\n"
    "  -h, --help    show this text\n"
    "\n"
    "A list that begins with a UTF-8 or UTF-16 byte-order mark is converted to GBK, which is\n"
    "said on standard error, with the number of characters that GBK cannot hold (they become\n"
    "\"?\"). A run that takes over a second shows its progress on standard error when that is\n"
    "a terminal. Lookup is a stream filter: lists are read and answered a piece at a time, in\n"
    "little memory whatever their length, each line written as soon as it is read; split a\n"
    "list, look up the parts anywhere, join the results in order.\n"
    "Messages are printed in UTF-8. Exit status: 0 done, 1 failure, 2 bad usage.\n";

// The UTF-8 form of the few distinct texts that fields take, converted once each.
class Utf8Texts {
public:
    std::string_view operator()(std::string_view gbk) {
        const auto [it, added] = texts_.try_emplace(std::string(gbk));
        if (added) it->second = Utf8FromGbk(gbk);
        return it->second;
    }

private:
    std::unordered_map<std::string, std::string> texts_;
};

bool IsAscii(std::string_view text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
}

// The look-up's tab-separated lines, to out.
NulCuts LookupLines(const Arguments& args, const NumberResolver& resolve, bool utf8,
                    OutputFile& file) {
    Progress* progress = nullptr;
    BufferedWriter out(file, std::size_t(64) << 10);
    ChunkPipeline pipeline;
    // Each thread converts to UTF-8 with texts of its own.
    std::vector<Utf8Texts> utf8_texts(ChunkThreads(0));
    const ChunkWork work{
        [&](std::size_t worker, std::string_view chunk, std::string& lines) -> std::size_t {
            ResolveLines(chunk, resolve, [&](const LookupResult& r) {
                const auto field = [&](std::string_view gbk) {
                    lines += utf8 ? utf8_texts[worker](gbk) : gbk;
                };
                if (utf8 && !IsAscii(r.number)) {
                    lines += Utf8FromGbk(r.number);
                } else {
                    lines += r.number;
                }
                lines += '\t';
                field(r.province);
                lines += '\t';
                field(r.city);
                lines += '\t';
                field(r.card_type);
                lines += '\n';
            });
            return 0;
        },
        [&](std::string_view chunk, std::string_view lines, std::size_t) {
            out.Append(lines);
            progress->Advance(chunk.size());
        }};
    // A piece's lines are written before more input is waited for.
    NulCuts cuts = ForEachListPiece(args, [&](std::string_view piece, Progress& shown) {
        progress = &shown;
        pipeline.Run(piece, work);
        out.Flush();
    });
    return cuts;
}

// The look-up as a table: a header, then the number, province, city and card type of every
// entry.
NulCuts LookupTable(const Arguments& args, const NumberResolver& resolve, TableWriter& table) {
    const std::array<std::string_view, 4> header = {text::kLayoutNumber, text::kColumnProvince,
                                                    text::kColumnCity, text::kColumnCard};
    table.AddRow(header);
    Progress* progress = nullptr;
    ChunkPipeline pipeline;
    const ChunkWork work{
        [&](std::size_t, std::string_view chunk, std::string& rows) -> std::size_t {
            ResolveLines(chunk, resolve, [&](const LookupResult& r) {
                const std::array<std::string_view, 4> cells = {r.number, r.province, r.city,
                                                               r.card_type};
                AppendPackedRow(rows, cells);
            });
            return 0;
        },
        [&](std::string_view chunk, std::string_view rows, std::size_t) {
            ForEachPackedRow(rows,
                             [&](std::span<const std::string_view> cells) { table.AddRow(cells); });
            progress->Advance(chunk.size());
        }};
    return ForEachListPiece(args, [&](std::string_view piece, Progress& shown) {
        progress = &shown;
        pipeline.Run(piece, work);
    });
}

int Lookup(const Arguments& args) {
    if (args.operands.empty()) throw UsageError("no number list given");
    const std::string output = OutputPath(args.Value("-o", "-"));
    const OutputFormat format = ChosenFormat(args, output);
    // --utf8 asks for UTF-8 text lines as before, or CSV in UTF-8.
    const bool utf8 = args.Has("--utf8");
    const CsvEncoding encoding =
        format == OutputFormat::kText ? CsvEncoding::kGbk : ChosenEncoding(args, format);
    const ListLookup lookup(args);
    StandardOutputFileSystem fs(args.command);
    NulCuts cuts;
    if (format == OutputFormat::kText) {
        ReplacementFile file(fs, output);
        cuts = LookupLines(args, lookup.resolve, utf8, file.file());
        file.Commit();
    } else {
        const std::unique_ptr<TableWriter> table = OpenTableWriter(fs, output, format, encoding);
        cuts = LookupTable(args, lookup.resolve, *table);
        table->Commit();
    }
    return cuts.Report(args.command) ? kExitFailure : kExitSuccess;
}

}  // namespace

int RunLookup(const std::vector<std::string>& args) {
    return RunCommand("lookup", kHelp, args, {"--db", "-o", "--format"}, {"--utf8", "-q"}, Lookup);
}

}  // namespace haojian::cli
