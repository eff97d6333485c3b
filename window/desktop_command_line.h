#pragma once

#include <span>
#include <string>

namespace haojian {

// What the window program's command line asks for: `haojian [FILE]`, `--help`, `--version`.
// Texts are UTF-8, as the core names paths.
struct DesktopCommandLine {
    enum class Action {
        OpenWindow,  // with file, when one is named
        PrintHelp,
        PrintVersion,
        Refuse,  // problem says why
    };
    Action action = Action::OpenWindow;
    std::string file;
    std::string problem;
};

// Reads the arguments after the program's name. --help and --version win wherever they stand,
// so that they can be answered before a display is reached; then "--" ends the options, any
// other option is refused, and at most one file may be named (a list dropped on the program's
// icon, or chosen with "Open with").
DesktopCommandLine ReadDesktopCommandLine(std::span<const std::string> arguments);

// The text of --help and --version.
std::string DesktopUsage();
std::string DesktopVersion();

}  // namespace haojian
