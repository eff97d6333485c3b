#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/messages.h"
#include "cli/standard_output.h"
#include "core/merge/merge.h"

namespace haojian::cli {
namespace {

constexpr std::string_view kHelp =
    "Usage: haojian-cli merge [-q] -o OUT SOURCE...\n"
    "\n"
    "Joins the sources byte for byte, in order (\"-\" is standard input), and writes the\n"
    "distinct lines of the result to OUT in ascending order, as the desktop program's Merge\n"
    "does: lines that differ only in letter case count as one, kept as first met; the order\n"
    "is the collation of the user's locale (LC_ALL, LC_COLLATE, LANG), ignoring case; CR LF\n"
    "after every line. OUT may be one of the sources, and is replaced only once the result is\n"
    "complete; \"-o -\" writes to standard output. Then prints the status text, such as\n"
    "文件合并整理完毕！共计：358: on standard output, or on standard error when the lines go\n"
    "there.\n"
    "\n"
    "  -o OUT       the file to write; \"-\" for standard output\n"
    "  -q           no progress line; merge shows none, but takes -q as the other\n"
    "               commands do\n"
    "  -h, --help   show this text\n"
    "\n"
    "A NUL byte ends the joined text: the lines before it are written and counted, then the\n"
    "file and offset of the byte are reported and the exit status is 1.\n"
    "Messages are printed in UTF-8. Exit status: 0 done, 1 failure, 2 bad usage.\n";

int Merge(const Arguments& args) {
    const std::string output = OutputPath(args.Value("-o", ""));
    if (output.empty()) throw UsageError("no output file given (-o OUT)");
    if (args.operands.empty()) throw UsageError("no source file given");
    std::vector<std::string> sources;
    for (const std::string& source : args.operands) sources.push_back(InputPath(source));
    const bool data_on_standard_output = IsStandardOutput(output);
    StandardOutputFileSystem fs(args.command);
    try {
        PrintStatus(MergedStatusText(MergeDataFiles(sources, output, fs)), data_on_standard_output);
    } catch (const MergeCutError& e) {
        PrintStatus(MergedStatusText(e.line_count()), data_on_standard_output);
        throw;
    }
    return kExitSuccess;
}

}  // namespace

int RunMerge(const std::vector<std::string>& args) {
    return RunCommand("merge", kHelp, args, {"-o"}, {"-q"}, Merge);
}

}  // namespace haojian::cli
