#include "shell/desktop_command_line.h"

#include <QFileInfo>
#include <QTimer>
#include <cstdlib>

#include "core/base/version.h"
#include "shell/main_window.h"

namespace haojian {
namespace {

bool Named(const char* variable) {
    const char* value = std::getenv(variable);
    return value && *value;
}

}  // namespace

DesktopCommandLine ReadDesktopCommandLine(const QStringList& arguments) {
    const qsizetype options_end = arguments.indexOf(QStringLiteral("--"));
    const QStringList options = arguments.mid(0, options_end);
    if (options.contains(QStringLiteral("--help")) || options.contains(QStringLiteral("-h")))
        return {DesktopCommandLine::Action::PrintHelp, {}, {}};
    if (options.contains(QStringLiteral("--version")))
        return {DesktopCommandLine::Action::PrintVersion, {}, {}};
    DesktopCommandLine line;
    QStringList files;
    bool options_ended = false;
    for (const QString& argument : arguments) {
        if (!options_ended && argument == QStringLiteral("--")) {
            options_ended = true;
        } else if (!options_ended && argument.startsWith(u'-')) {
            line.action = DesktopCommandLine::Action::Refuse;
            line.problem = QStringLiteral("unknown option '%1'").arg(argument);
            return line;
        } else {
            files << argument;
        }
    }
    if (files.size() > 1) {
        line.action = DesktopCommandLine::Action::Refuse;
        line.problem = QStringLiteral("one list file at a time, not %1").arg(files.size());
        return line;
    }
    if (!files.isEmpty()) line.file = files.first();
    return line;
}

QString DesktopUsage() {
    return QStringLiteral(
        "Usage: haojian [FILE]\n"
        "Opens the window of 瓴岚号鉴, which looks up the province, city and carrier of\n"
        "mobile numbers; FILE, when given, is imported as the Import command would.\n"
        "\n"
        "  --help       show this help\n"
        "  --version    show the version\n"
        "\n"
        "The window needs a graphical desktop. At the command line (over ssh, in scripts)\n"
        "use haojian-cli: haojian-cli --help\n");
}

QString DesktopVersion() {
    return QStringLiteral("haojian ") +
           QString::fromUtf8(kVersion.data(), qsizetype(kVersion.size())) + u'\n';
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
