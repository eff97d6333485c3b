#include "window/desktop_command_line.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "core/base/version.h"

namespace haojian {

DesktopCommandLine ReadDesktopCommandLine(std::span<const std::string> arguments) {
    using Action = DesktopCommandLine::Action;
    const auto options_end = std::find(arguments.begin(), arguments.end(), "--");
    const auto option = [&](std::string_view name) {
        return std::find(arguments.begin(), options_end, name) != options_end;
    };
    if (option("--help") || option("-h")) return {Action::PrintHelp, {}, {}};
    if (option("--version")) return {Action::PrintVersion, {}, {}};
    std::vector<std::string> files;
    for (auto it = arguments.begin(); it != arguments.end(); ++it) {
        if (it == options_end) continue;
        if (it < options_end && it->starts_with('-'))
            return {Action::Refuse, {}, "unknown option '" + *it + "'"};
        files.push_back(*it);
    }
    if (files.size() > 1)
        return {Action::Refuse, {}, "one list file at a time, not " + std::to_string(files.size())};
    return {Action::OpenWindow, files.empty() ? std::string() : files.front(), {}};
}

std::string DesktopUsage() {
    return "Usage: haojian [FILE]\n"
           "Opens the window of \xE7\x93\xB4\xE5\xB2\x9A\xE5\x8F\xB7\xE9\x89\xB4, which looks up "
           "the province, city and carrier of\n"
           "mobile numbers; FILE, when given, is imported as the Import command would.\n"
           "\n"
           "  --help       show this help\n"
           "  --version    show the version\n"
           "\n"
           "The window needs a graphical desktop. At the command line (over ssh, in scripts)\n"
           "use haojian-cli: haojian-cli --help\n";
}

std::string DesktopVersion() {
    return "haojian " + std::string(kVersion) + "\n";
}

}  // namespace haojian
