#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "buffered_writer.h"
#include "cli_support.h"
#include "collation.h"
#include "commands.h"
#include "gbk.h"
#include "line_list.h"
#include "number_list_text.h"
#include "number_lookup.h"
#include "ordered_chunks.h"

namespace haojian::cli {
namespace {

constexpr std::string_view kHelp =
    "Usage: haojian-cli lookup [--db FILE] [--utf8] LIST...\n"
    "\n"
    "Looks up every entry of each number list (\"-\" is standard input) and writes one line\n"
    "per entry to standard output: the number, province, city and card type, separated by\n"
    "TAB and ended by LF. A list is read as the desktop program imports one: any line end,\n"
    "a NUL byte ends the text, and entries are neither trimmed nor tested. A list cut short\n"
    "by a NUL byte is looked up up to it, then the file and the byte's offset are reported\n"
    "and the exit status is 1.\n"
    "\n"
    "  --db FILE   the segment database (default: kelvaronset.dat beside this program)\n"
    "  --utf8      write UTF-8 instead of the GBK bytes that the files and tables hold\n"
    "  --help      show this text\n"
    "\n"
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
    const SegmentDatabase database = LoadDatabase(args);
    CodeTables tables;
    ReloadCodeTables(tables);
    const LocaleCollation& collation = DefaultCollation();
    StandardOutput standard_output;
    BufferedWriter out(standard_output, std::size_t(64) << 10);
    // Each thread converts to UTF-8 with texts of its own.
    std::vector<Utf8Texts> utf8_texts(ChunkThreads(0));
    const ChunkWork work{
        [&](std::size_t worker, std::string_view chunk, std::string& lines) -> std::size_t {
            ResolveLines(chunk, database, tables, collation, [&](const LookupResult& r) {
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
        [&](std::string_view lines, std::size_t) { out.Append(lines); }};
    NulCuts cuts;
    for (const std::string& path : args.operands) {
        const NumberListText list(path);
        ProcessChunksInOrder(list.text(), work);
        out.Flush();
        cuts.Note(list);
    }
    return cuts.Report() ? kExitFailure : kExitSuccess;
}

}  // namespace

int RunLookup(const std::vector<std::string>& args) {
    return RunCommand("lookup", kHelp, args, {"--db"}, {"--utf8"}, Lookup);
}

}  // namespace haojian::cli
