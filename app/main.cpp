#include <QApplication>

#include "application.h"
#include "main_window.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    haojian::SetUpApplication();
    haojian::TForm1 window(haojian::DesktopSeams());
    QObject::connect(&window, &haojian::TForm1::Closed, [] { QCoreApplication::exit(0); });
    window.show();
    return QApplication::exec();
}
