// haojian-cli: the number look-up, the export and the merge of the desktop program, from a
// terminal or a script, with statistics and the tools that make and check a segment database.
#include <algorithm>
#include <initializer_list>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/console.h"
#include "cli/main.h"
#include "cli/messages.h"
#include "cli/standard_output.h"
#include "cli/termination_signals.h"
#include "core/base/version.h"
#include "core/files/standard_streams.h"

namespace {

constexpr std::string_view kUsage =
    "Usage: haojian-cli COMMAND [OPTION]... ARGUMENT...\n"
    "\n"
    "Tells the province, city and carrier (card type) of mobile numbers from the segment\n"
    "database kelvaronset.dat beside this program, as the desktop program 瓴岚号鉴 does.\n"
    "\n"
    "Commands:\n"
    "  lookup     look up the numbers of lists: number, province, city and card type\n"
    "  export     write the looked-up numbers that pass filters to a file, masked\n"
    "  merge      join text files into one file of their distinct lines, sorted\n"
    "  stats      count the looked-up numbers by province, city or card type\n"
    "  db build   make a segment database from published segment tables\n"
    "  db check   check a segment database and report what it holds\n"
    "\n"
    "  -h, --help   show this text\n"
    "  --version    show the version\n"
    "\n"
    "Options belong to the command; written before it they are taken as its own\n"
    "('haojian-cli -q lookup x' is 'haojian-cli lookup -q x').\n"
    "'haojian-cli COMMAND --help' or 'haojian-cli help COMMAND' tells more of each. Texts\n"
    "read and written are GBK unless a command says otherwise. Standard output carries the\n"
    "result alone: the data, or the status line of export and merge when they write a file;\n"
    "messages, reports of db build and progress go to standard error, in UTF-8.\n"
    "Exit status: 0 done, 1 failure, 2 bad usage.\n";

constexpr std::string_view kDbUsage =
    "Usage: haojian-cli db build [--force] [-q] -o OUT TABLE...\n"
    "       haojian-cli db check [--db FILE]\n"
    "\n"
    "  build   make a segment database from published segment tables\n"
    "  check   check a segment database and report what it holds\n"
    "\n"
    "'haojian-cli db build --help' and 'haojian-cli db check --help' tell more.\n";

bool IsHelp(std::string_view arg) {
    return arg == "--help" || arg == "-h" || arg == "help";
}

struct Command {
    std::string_view name;
    int (*run)(std::vector<std::string> args);
};

// Writes text to standard output: exit 0, or 1 with the reason when it cannot be written.
int PrintOnStandardOutput(std::string_view text) {
    using namespace haojian::cli;
    try {
        WriteTextToStandardOutput(text);
        return kExitSuccess;
    } catch (const std::exception& e) {
        std::cerr << "haojian-cli: " << FailureText(e) << '\n';
        return kExitFailure;
    }
}

// Options typed before the command ("haojian-cli -q lookup x") are the command's: they are
// moved behind its name, the command being the first word that names one (a word that names
// none is an option's value). False when no word names a command.
bool MoveOptionsBehindCommand(std::vector<std::string>& args,
                              std::initializer_list<Command> commands) {
    for (std::size_t i = 1; i < args.size(); ++i) {
        const bool named = std::any_of(commands.begin(), commands.end(),
                                       [&](const Command& c) { return c.name == args[i]; });
        if (named) {
            std::rotate(args.begin(), args.begin() + std::ptrdiff_t(i),
                        args.begin() + std::ptrdiff_t(i) + 1);
            return true;
        }
        if (args[i] == "--") return false;
    }
    return false;
}

// Runs the command that args begins with: its usage for none or for help ("help COMMAND" is
// "COMMAND --help"), a message that names the word and points to the usage for a name that is
// none of commands. prefix names the level ("db ") in messages.
int Dispatch(std::vector<std::string> args, std::string_view usage, std::string_view prefix,
             std::initializer_list<Command> commands) {
    using namespace haojian::cli;
    if (args.empty()) {
        std::cerr << usage;
        return kExitUsage;
    }
    const std::string& first = args.front();
    if (first.size() > 1 && first[0] == '-' && !IsHelp(first) && first != "--version" &&
        !MoveOptionsBehindCommand(args, commands)) {
        std::cerr << "haojian-cli: no " << (prefix.empty() ? "command" : "db command")
                  << " given; options go with a command, as in 'haojian-cli " << prefix
                  << (prefix.empty() ? "lookup" : "build") << " " << Printable(first) << " ...'\n"
                  << "Try 'haojian-cli " << prefix << "--help'.\n";
        return kExitUsage;
    }
    std::string name = args.front();
    args.erase(args.begin());
    if (name == "help" && !args.empty()) {
        name = args.front();
        args.erase(args.begin());
        args.push_back("--help");
    }
    for (const Command& command : commands) {
        if (command.name == name) return command.run(std::move(args));
    }
    if (IsHelp(name)) return PrintOnStandardOutput(usage);
    if (prefix.empty() && name == "--version") {
        return PrintOnStandardOutput("haojian-cli " + std::string(haojian::kVersion) + "\n");
    }
    std::cerr << "haojian-cli: unknown command '" << prefix << Printable(name) << "'\n"
              << "Try 'haojian-cli " << prefix << "--help'.\n";
    return kExitUsage;
}

int RunDb(std::vector<std::string> args) {
    using namespace haojian::cli;
    return Dispatch(std::move(args), kDbUsage, "db ",
                    {{"build", [](std::vector<std::string> a) { return RunDbBuild(a); }},
                     {"check", [](std::vector<std::string> a) { return RunDbCheck(a); }}});
}

}  // namespace

int haojian::cli::Main(std::vector<std::string> args) {
    using namespace haojian::cli;
    haojian::KeepStandardStreamsTaken();
    PrepareStandardStreams();
    RemoveTemporaryFilesOnTermination();
    return Dispatch(std::move(args), kUsage, "",
                    {{"lookup", [](std::vector<std::string> a) { return RunLookup(a); }},
                     {"export", [](std::vector<std::string> a) { return RunExport(a); }},
                     {"merge", [](std::vector<std::string> a) { return RunMerge(a); }},
                     {"stats", [](std::vector<std::string> a) { return RunStats(a); }},
                     {"db", RunDb}});
}
