#include <cctype>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/messages.h"
#include "cli/progress.h"
#include "cli/standard_output.h"
#include "core/base/system_memory.h"
#include "core/files/temporary_file.h"
#include "core/merge/merge.h"

namespace haojian::cli {
namespace {

constexpr std::string_view kHelp =
    "Usage: haojian-cli merge [-q] [--memory SIZE] [-T DIR] -o OUT SOURCE...\n"
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
    "Sources larger than the memory the merge may take are sorted in runs that fit, each\n"
    "set aside in a temporary file, and the runs merged; the result is the same. Temporary\n"
    "files have no name (or are deleted when closed) and never outlive the merge.\n"
    "\n"
    "  -o OUT       the file to write; \"-\" for standard output\n"
    "  --memory SIZE\n"
    "               the memory the merge may take, as sort -S takes it: a number with\n"
    "               an optional unit b, K, M, G or T (K when none; 1K = 1024 bytes), or\n"
    "               N% of the memory free now; default three quarters of the free memory\n"
    "  -T DIR, --temporary-folder DIR\n"
    "               where temporary files go; default TMPDIR, else /tmp\n"
    "  -q           no progress line (shown on a terminal for a merge of more than a\n"
    "               second: reading and sorting, then each pass of merging)\n"
    "  -h, --help   show this text\n"
    "\n"
    "A NUL byte ends the joined text: the lines before it are written to OUT and counted,\n"
    "then the file and offset of the byte are reported and the exit status is 1. The status\n"
    "text is printed before OUT is put in place, so that a standard output that cannot take\n"
    "it leaves OUT as it was.\n"
    "A temporary folder that is missing, full or may not be written fails the merge,\n"
    "naming the folder; OUT is then left as it was.\n"
    "Messages are printed in UTF-8. Exit status: 0 done, 1 failure (OUT left as it was,\n"
    "except after a NUL byte as said above), 2 bad usage.\n";

// A size as sort -S takes it: "512M", "4G", "100000" (KiB), "1024b", "50%".
std::uint64_t MemorySize(std::string_view text) {
    const auto bad = [&] { return UsageError("--memory: not a size: " + Printable(text)); };
    std::size_t digits = 0;
    std::uint64_t value = 0;
    for (; digits < text.size() && std::isdigit(static_cast<unsigned char>(text[digits]));
         ++digits) {
        if (value > (UINT64_MAX - 9) / 10) throw bad();
        value = value * 10 + std::uint64_t(text[digits] - '0');
    }
    const std::string_view unit = text.substr(digits);
    if (digits == 0 || unit.size() > 1) throw bad();
    if (unit == "%") {
        if (value == 0 || value > 100) throw bad();
        return AvailableMemory() / 100 * value;
    }
    int shift = 10;
    if (!unit.empty()) {
        const std::string_view units = "bkmgt";
        const std::size_t at = units.find(char(std::tolower(static_cast<unsigned char>(unit[0]))));
        if (at == std::string_view::npos) throw bad();
        shift = int(at) * 10;
    }
    if (value == 0 || value > (UINT64_MAX >> shift)) throw bad();
    return value << shift;
}

// Shows a progress line for each stage of the merge in turn.
class MergeProgressLine {
public:
    explicit MergeProgressLine(bool enabled) : enabled_(enabled) {}

    void operator()(const MergeProgress& p) {
        const bool reading = p.stage == MergeProgress::Stage::Reading;
        if (!line_ || reading != reading_ || p.pass != pass_) {
            if (line_) line_->Finish();
            reading_ = reading;
            pass_ = p.pass;
            shown_ = 0;
            line_ = std::make_unique<Progress>(reading ? std::string("merge: reading and sorting")
                                                       : "merge: merging, pass " +
                                                             std::to_string(p.pass) + " of " +
                                                             std::to_string(p.passes),
                                               p.total, enabled_);
        }
        if (p.done > shown_) {
            line_->Advance(p.done - shown_);
            shown_ = p.done;
        }
    }

    // Clears the line shown, before the status is printed.
    void Finish() {
        if (line_) line_->Finish();
    }

private:
    bool enabled_;
    std::unique_ptr<Progress> line_;
    bool reading_ = false;
    unsigned pass_ = 0;
    std::uint64_t shown_ = 0;
};

std::string_view TemporaryWords(FileError::Op op) {
    switch (op) {
        case FileError::Op::Create:
            return "Cannot create a temporary file";
        case FileError::Op::Read:
            return "Cannot read a temporary file";
        default:
            return "Cannot write a temporary file";
    }
}

int Merge(const Arguments& args) {
    const std::string output = OutputPath(args.Value("-o", ""));
    if (output.empty()) throw UsageError("no output file given (-o OUT)");
    if (args.operands.empty()) throw UsageError("no source file given");
    std::vector<std::string> sources;
    for (const std::string& source : args.operands) sources.push_back(InputPath(source));
    MergeOptions options;
    if (const std::string memory = args.Value("--memory", ""); !memory.empty()) {
        options.memory = MemorySize(memory);
    }
    options.temporary_folder = args.Value("--temporary-folder", args.Value("-T", ""));
    MergeProgressLine progress(ProgressWanted(args.Has("-q")));
    options.progress = [&progress](const MergeProgress& p) { progress(p); };
    const bool data_on_standard_output = IsStandardOutput(output);
    StandardOutputFileSystem fs(args.command);
    // The status line is out before the file is put in place: a standard output that cannot
    // take it leaves OUT as it was. (Every merged line ends with the one LF of its CR LF.)
    fs.SetBeforeCommit(output, [&](std::uint64_t lines) {
        progress.Finish();
        PrintStatus(MergedStatusText(std::size_t(lines)), data_on_standard_output);
    });
    try {
        MergeDataFiles(sources, output, options, fs);
    } catch (const TemporaryFolderError& e) {
        progress.Finish();
        throw Failure("temporary folder " + QuotedPath(e.path()) + ": " +
                      std::string(TemporaryWords(e.op())) +
                      (e.reason().empty() ? "" : " (" + Printable(e.reason()) + ")"));
    }
    return kExitSuccess;
}

}  // namespace

int RunMerge(const std::vector<std::string>& args) {
    return RunCommand("merge", kHelp, args, {"-o", "--memory", "-T", "--temporary-folder"}, {"-q"},
                      Merge);
}

}  // namespace haojian::cli
