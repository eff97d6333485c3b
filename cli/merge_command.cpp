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
    "A NUL byte ends the joined text: the lines before it are written to OUT and counted,\n"
    "then the file and offset of the byte are reported and the exit status is 1. The status\n"
    "text is printed before OUT is put in place, so that a standard output that cannot take\n"
    "it leaves OUT as it was.\n"
    "Messages are printed in UTF-8. Exit status: 0 done, 1 failure (OUT left as it was,\n"
    "except after a NUL byte as said above), 2 bad usage.\n";

int Merge(const Arguments& args) {
    const std::string output = OutputPath(args.Value("-o", ""));
    if (output.empty()) throw UsageError("no output file given (-o OUT)");
    if (args.operands.empty()) throw UsageError("no source file given");
    std::vector<std::string> sources;
    for (const std::string& source : args.operands) sources.push_back(InputPath(source));
    const bool data_on_standard_output = IsStandardOutput(output);
    StandardOutputFileSystem fs(args.command);
    // The status line is out before the file is put in place: a standard output that cannot
    // take it leaves OUT as it was. (Every merged line ends with the one LF of its CR LF.)
    fs.SetBeforeCommit(output, [&](std::uint64_t lines) {
        PrintStatus(MergedStatusText(std::size_t(lines)), data_on_standard_output);
    });
    MergeDataFiles(sources, output, fs);
    return kExitSuccess;
}

}  // namespace

int RunMerge(const std::vector<std::string>& args) {
    return RunCommand("merge", kHelp, args, {"-o"}, {"-q"}, Merge);
}

}  // namespace haojian::cli
