#pragma once

#include <QString>
#include <QStringList>
#include <string_view>

#include "window/desktop_command_line.h"

namespace haojian {

class TForm1;

// The command line as Qt gives it (ReadDesktopCommandLine in window/ reads it).
DesktopCommandLine ReadDesktopCommandLine(const QStringList& arguments);

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
