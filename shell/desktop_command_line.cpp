#include "shell/desktop_command_line.h"

#include <QFileInfo>
#include <QTimer>
#include <cstdlib>
#include <string>
#include <vector>

#include "shell/main_window.h"

namespace haojian {
namespace {

bool Named(const char* variable) {
    const char* value = std::getenv(variable);
    return value && *value;
}

}  // namespace

DesktopCommandLine ReadDesktopCommandLine(const QStringList& arguments) {
    std::vector<std::string> utf8;
    for (const QString& argument : arguments) utf8.push_back(argument.toStdString());
    return ReadDesktopCommandLine(std::span<const std::string>(utf8));
}

std::string_view NoDisplayMessage() {
    return "haojian: the window needs a graphical desktop (X11 or Wayland), and none can be "
           "reached here.\n"
           "At the command line, use haojian-cli instead: haojian-cli --help\n";
}

bool DisplayNamed() {
    return Named("QT_QPA_PLATFORM") || Named("WAYLAND_DISPLAY") || Named("DISPLAY");
}

void ImportWhenShown(TForm1& window, const QString& path) {
    QTimer::singleShot(0, &window, [&window, path = QFileInfo(path).absoluteFilePath()] {
        window.ImportFile(path);
    });
}

}  // namespace haojian
