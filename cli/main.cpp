// haojian-cli: the number look-up, the export and the merge of the desktop program, from a
// terminal or a script.
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "cli_support.h"
#include "commands.h"
#include "termination_signals.h"

namespace {

constexpr std::string_view kUsage =
    "Usage: haojian-cli COMMAND [OPTION]... ARGUMENT...\n"
    "\n"
    "Commands:\n"
    "  lookup   look up the numbers of lists: number, province, city and card type\n"
    "  export   write the looked-up numbers that pass filters to a file, masked\n"
    "  merge    join text files into one file of their distinct lines, sorted\n"
    "\n"
    "'haojian-cli COMMAND --help' tells more of each.\n";

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
    if (command == "--help" || command == "help") {
        std::cout << kUsage;
        return kExitSuccess;
    }
    std::cerr << "haojian-cli: unknown command '" << command << "'\n" << kUsage;
    return kExitUsage;
}
