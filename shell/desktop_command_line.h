#pragma once

#include <QString>
#include <QStringList>
#include <string_view>

namespace haojian {

class TForm1;

// What the window program's command line asks for: `haojian [FILE]`, `--help`, `--version`.
struct DesktopCommandLine {
    enum class Action {
        OpenWindow,  // with file, when one is named
        PrintHelp,
        PrintVersion,
        Refuse,  // problem says why
    };
    Action action = Action::OpenWindow;
    QString file;
    QString problem;
};

// Reads the arguments after the program's name. --help and --version win wherever they stand,
// so that they can be answered before Qt (and a display) is reached; then "--" ends the
// options, any other option is refused, and at most one file may be named.
DesktopCommandLine ReadDesktopCommandLine(const QStringList& arguments);

// The text of --help and --version.
QString DesktopUsage();
QString DesktopVersion();

// Said when no graphical desktop can be reached: the window cannot open, the command-line
// program can do the work.
std::string_view NoDisplayMessage();

// True when Qt may find a desktop to show windows on: a platform chosen in QT_QPA_PLATFORM, or
// an X11 or Wayland display named in the environment.
bool DisplayNamed();

// Has the window import the list at path as Import would, once the event loop runs: the path
// the desktop entry passes (a relative one is taken from the working directory).
void ImportWhenShown(TForm1& window, const QString& path);

}  // namespace haojian
