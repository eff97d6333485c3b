#include <QApplication>

#include "shell/about_window.h"
#include "shell/application.h"
#include "shell/main_window.h"
#include "shell/main_window_tray.h"
#include "shell/notify_icon_shell.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
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
    return QApplication::exec();
}
