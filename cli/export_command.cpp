#include <string>
#include <string_view>
#include <vector>

#include "cli_support.h"
#include "code_table.h"
#include "collation.h"
#include "commands.h"
#include "export.h"
#include "fixed_texts.h"
#include "gbk.h"
#include "list_export.h"
#include "number_list_text.h"

namespace haojian::cli {
namespace {

constexpr std::string_view kHelp =
    "Usage: haojian-cli export [--db FILE] [--province P] [--city C] [--card T] [--layout L]\n"
    "                          -o OUT LIST...\n"
    "\n"
    "Looks up every entry of the number lists (\"-\" is standard input), in list order, and\n"
    "writes the rows that pass the three filters to OUT as the desktop program's Export does:\n"
    "one line per row in the chosen layout, every number masked (its first 9 bytes, then\n"
    "\"**\"), GBK bytes, CR LF after every line. OUT is replaced only once it is complete.\n"
    "Prints the status text, such as 导出符合数据125条.\n"
    "\n"
    "  --db FILE      the segment database (default: kelvaronset.dat beside this program)\n"
    "  --province P   only rows of province P (default: 任意省份, any province)\n"
    "  --city C       only rows of city C (default: 任意城市, any city)\n"
    "  --card T       only rows of card type T (default: 任意卡类, any card type)\n"
    "  --layout L     手机号码 (default), 手机号码+省份, 手机号码+城市, 手机号码+卡类,\n"
    "                 手机号码+省份+卡类 or 手机号码+城市+卡类\n"
    "  -o OUT         the file to write\n"
    "  --help         show this text\n"
    "\n"
    "A list cut short by a NUL byte is exported up to it, then the file and the byte's\n"
    "offset are reported and the exit status is 1.\n"
    "Filters compare exactly, byte for byte. Filter and layout texts are given in UTF-8 and\n"
    "converted to GBK; messages are printed in UTF-8.\n"
    "Exit status: 0 done, 1 failure (OUT left as it was), 2 bad usage.\n";

// The GBK text of an option given in UTF-8, or fallback when it was not given.
std::string GbkOption(const Arguments& args, std::string_view option, std::string_view fallback) {
    const auto it = args.values.find(option);
    return it == args.values.end() ? std::string(fallback) : GbkFromUtf8(it->second);
}

int Export(const Arguments& args) {
    const std::string output = args.Value("-o", "");
    if (output.empty()) throw UsageError("no output file given (-o OUT)");
    if (args.operands.empty()) throw UsageError("no number list given");
    const std::string province = GbkOption(args, "--province", text::kAnyProvince);
    const std::string city = GbkOption(args, "--city", text::kAnyCity);
    const std::string card = GbkOption(args, "--card", text::kAnyCard);
    const std::string layout = GbkOption(args, "--layout", text::kLayoutNumber);
    const SegmentDatabase database = LoadDatabase(args);
    CodeTables tables;
    ReloadCodeTables(tables);
    // Looked up and written a chunk at a time, one list held at a time.
    NumberListExport exporter(database, tables, DefaultCollation(),
                              ExportFilter{province, city, card}, layout, output);
    NulCuts cuts;
    for (const std::string& path : args.operands) {
        const NumberListText list(path);
        exporter.Add(list.text());
        cuts.Note(list);
    }
    PrintLine(ExportedStatusText(exporter.Commit()));
    return cuts.Report() ? kExitFailure : kExitSuccess;
}

}  // namespace

int RunExport(const std::vector<std::string>& args) {
    return RunCommand("export", kHelp, args,
                      {"--db", "--province", "--city", "--card", "--layout", "-o"}, {}, Export);
}

}  // namespace haojian::cli
