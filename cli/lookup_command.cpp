#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/number_list_stream.h"
#include "cli/progress.h"
#include "cli/standard_output.h"
#include "core/collation/collation.h"
#include "core/files/buffered_writer.h"
#include "core/lookup/number_lookup.h"
#include "core/text/gbk.h"
#include "core/text/line_list.h"
#include "core/threads/chunk_pipeline.h"

namespace haojian::cli {
namespace {

constexpr std::string_view kHelp =
    "Usage: haojian-cli lookup [--db FILE] [--utf8] [-q] LIST...\n"
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

int Lookup(const Arguments& args) {
    if (args.operands.empty()) throw UsageError("no number list given");
    const bool utf8 = args.Has("--utf8");
    const ListLookup lookup(args);
    const NumberResolver& resolve = lookup.resolve;
    Progress* progress = nullptr;
    StandardOutput standard_output;
    BufferedWriter out(standard_output, std::size_t(64) << 10);
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
    const NulCuts cuts = ForEachListPiece(args, [&](std::string_view piece, Progress& shown) {
        progress = &shown;
        pipeline.Run(piece, work);
        out.Flush();
    });
    return cuts.Report(args.command) ? kExitFailure : kExitSuccess;
}

}  // namespace

int RunLookup(const std::vector<std::string>& args) {
    return RunCommand("lookup", kHelp, args, {"--db"}, {"--utf8", "-q"}, Lookup);
}

}  // namespace haojian::cli
