// haojian-cli: the number look-up, the export and the merge of the desktop program, from a
// terminal or a script, with statistics and the tools that make and check a segment database.
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "cli_support.h"
#include "commands.h"
#include "termination_signals.h"
#include "version.h"

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
    "'haojian-cli COMMAND --help' tells more of each. Texts read and written are GBK unless a\n"
    "command says otherwise; messages are printed in UTF-8.\n"
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

int UnknownCommand(std::string_view command, std::string_view usage) {
    std::cerr << "haojian-cli: unknown command '" << command << "'\n" << usage;
    return haojian::cli::kExitUsage;
}

int RunDb(std::vector<std::string> args) {
    using namespace haojian::cli;
    if (args.empty()) {
        std::cerr << kDbUsage;
        return kExitUsage;
    }
    const std::string command = args.front();
    args.erase(args.begin());
    if (command == "build") return RunDbBuild(args);
    if (command == "check") return RunDbCheck(args);
    if (IsHelp(command)) {
        std::cout << kDbUsage;
        return kExitSuccess;
    }
    return UnknownCommand("db " + command, kDbUsage);
}

}  // namespace

int main(int argc, char** argv) {
    using namespace haojian::cli;
    RemoveTemporaryFilesOnTermination();
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        std::cerr << kUsage;
        return kExitUsage;
    }
    const std::string command = args.front();
    args.erase(args.begin());
    if (command == "lookup") return RunLookup(args);
    if (command == "export") return RunExport(args);
    if (command == "merge") return RunMerge(args);
    if (command == "stats") return RunStats(args);
    if (command == "db") return RunDb(args);
    if (IsHelp(command)) {
        std::cout << kUsage;
        return kExitSuccess;
    }
    if (command == "--version") {
        std::cout << "haojian-cli " << haojian::kVersion << '\n';
        return kExitSuccess;
    }
    return UnknownCommand(command, kUsage);
}
