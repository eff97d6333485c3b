#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "shell/about_window.h"
#include "shell/application.h"
#include "shell/desktop_command_line.h"
#include "shell/main_window.h"
#include "shell/main_window_tray.h"
#include "shell/notify_icon_shell.h"

namespace {

QtMessageHandler qt_handler = nullptr;

// Qt ends the program with an abort when no platform plugin starts (no display reachable):
// say what is wrong instead, and end as a failure does.
void NoDesktopOnFatal(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type != QtFatalMsg) {
        if (qt_handler) qt_handler(type, context, text);
        return;
    }
    std::fputs(haojian::NoDisplayMessage().data(), stderr);
    std::fflush(stderr);
    std::_Exit(1);
}

int Print(const std::string& text) {
    std::cout << text << std::flush;
    return std::cout ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    using haojian::DesktopCommandLine;
    QStringList raw;
    for (int i = 1; i < argc; ++i) raw << QString::fromLocal8Bit(argv[i]);
    // Help and version need no display.
    const DesktopCommandLine early = haojian::ReadDesktopCommandLine(raw);
    if (early.action == DesktopCommandLine::Action::PrintHelp)
        return Print(haojian::DesktopUsage());
    if (early.action == DesktopCommandLine::Action::PrintVersion)
        return Print(haojian::DesktopVersion());
    if (!haojian::DisplayNamed()) {
        std::cerr << haojian::NoDisplayMessage();
        return 1;
    }

    qt_handler = qInstallMessageHandler(NoDesktopOnFatal);
    QApplication application(argc, argv);
    qInstallMessageHandler(qt_handler);
    // What is left once Qt has taken its own options (-platform, -style and the like).
    const DesktopCommandLine line =
        haojian::ReadDesktopCommandLine(QCoreApplication::arguments().mid(1));
    if (line.action == DesktopCommandLine::Action::Refuse) {
        std::cerr << "haojian: " << line.problem << "\nTry 'haojian --help'.\n";
        return 2;
    }

    haojian::SetUpApplication();
    // The notification area outlives the window and its tray icon.
    haojian::TrayNotifyIconShell tray_shell;
    haojian::TForm1 window(haojian::DesktopSeams());
    QObject::connect(&window, &haojian::TForm1::Closed, [] { QCoreApplication::exit(0); });
    haojian::AttachTray(window, tray_shell);
    // The About window is built once, hidden, and shown by the About command.
    haojian::TForm2 about;
    window.SetAboutWindow(&about);
    window.show();
    if (!line.file.empty()) haojian::ImportWhenShown(window, QString::fromStdString(line.file));
    return QApplication::exec();
}
