#include <string>
#include <string_view>
#include <vector>

#include "cli_support.h"
#include "commands.h"
#include "merge.h"

namespace haojian::cli {
namespace {

constexpr std::string_view kHelp =
    "Usage: haojian-cli merge -o OUT SOURCE...\n"
    "\n"
    "Joins the sources byte for byte, in order (\"-\" is standard input), and writes the\n"
    "distinct lines of the result to OUT in ascending order, as the desktop program's Merge\n"
    "does: lines that differ only in letter case count as one, kept as first met; the order\n"
    "is the collation of the user's locale (LC_ALL, LC_COLLATE, LANG), ignoring case; CR LF\n"
    "after every line. OUT may be one of the sources, and is replaced only once the result is\n"
    "complete. Prints the status text, such as 文件合并整理完毕！共计：358.\n"
    "\n"
    "  -o OUT    the file to write\n"
    "  --help    show this text\n"
    "\n"
    "A NUL byte ends the joined text: the lines before it are written and counted, then the\n"
    "file and offset of the byte are reported and the exit status is 1.\n"
    "Messages are printed in UTF-8. Exit status: 0 done, 1 failure, 2 bad usage.\n";

int Merge(const Arguments& args) {
    const std::string output = args.Value("-o", "");
    if (output.empty()) throw UsageError("no output file given (-o OUT)");
    if (args.operands.empty()) throw UsageError("no source file given");
    std::vector<std::string> sources;
    for (const std::string& source : args.operands) {
        sources.push_back(source == "-" ? "/dev/stdin" : source);
    }
    try {
        PrintLine(MergedStatusText(MergeDataFiles(sources, output)));
    } catch (const MergeCutError& e) {
        PrintLine(MergedStatusText(e.line_count()));
        throw;
    }
    return kExitSuccess;
}

}  // namespace

int RunMerge(const std::vector<std::string>& args) {
    return RunCommand("merge", kHelp, args, {"-o"}, {}, Merge);
}

}  // namespace haojian::cli
