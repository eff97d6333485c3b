// The window program's command line: help and version before any display, a file to import.
#include <QDir>
#include <QtTest>

#include "shell/application.h"
#include "shell/desktop_command_line.h"
#include "tests/shell/support/window_harness.h"

using namespace haojian;
using namespace haojian::testing;
using namespace Qt::StringLiterals;

class DesktopCommandLineTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { SetUpApplication(); }

    // The Qt side of the command line; the reading itself is tested in window_tests.
    void QtArgumentsAndNoDisplay() {
        const DesktopCommandLine line = ReadDesktopCommandLine({u"列表.txt"_s});
        QCOMPARE(QString::fromStdString(line.file), u"列表.txt"_s);
        QVERIFY(std::string(NoDisplayMessage()).find("haojian-cli") != std::string::npos);
    }

    // The file the desktop entry passes is imported once the window runs, as a dropped one is;
    // a relative name is taken from the working directory.
    void FileNamedAtStart() {
        WindowHarness h;
        TForm1& w = h.Open();
        h.dir.Write("start.txt", "13800101234\r\n13300001111\r\n18900001111\r\n");
        const QString before = QDir::currentPath();
        QDir::setCurrent(QString::fromStdString(h.dir.path()));
        ImportWhenShown(w, u"start.txt"_s);
        QDir::setCurrent(before);
        QCOMPARE(h.Status(1), QString());
        QTRY_COMPARE(h.Status(1), u"3"_s);
        QVERIFY(h.dialogs.file_requests.empty());
    }
};

QTEST_MAIN(DesktopCommandLineTest)
#include "desktop_command_line_test.moc"
