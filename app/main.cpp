#include <QApplication>

#include "application.h"
#include "main_window.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    haojian::SetUpApplication();
    haojian::TForm1 window(haojian::DesktopSeams());
    window.show();
    return QApplication::exec();
}
