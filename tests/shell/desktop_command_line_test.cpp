// The window program's command line: help and version before any display, a file to import.
#include <QDir>
#include <QtTest>

#include "shell/application.h"
#include "shell/desktop_command_line.h"
#include "tests/shell/support/window_harness.h"

using namespace haojian;
using namespace haojian::testing;
using namespace Qt::StringLiterals;
using Action = DesktopCommandLine::Action;

class DesktopCommandLineTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { SetUpApplication(); }

    void Arguments() {
        QCOMPARE(ReadDesktopCommandLine({}).action, Action::OpenWindow);
        QVERIFY(ReadDesktopCommandLine({}).file.isEmpty());
        // Help and version win wherever they stand, even beside options Qt has not taken yet.
        QCOMPARE(ReadDesktopCommandLine({u"-platform"_s, u"xcb"_s, u"--help"_s}).action,
                 Action::PrintHelp);
        QCOMPARE(ReadDesktopCommandLine({u"a.txt"_s, u"-h"_s}).action, Action::PrintHelp);
        QCOMPARE(ReadDesktopCommandLine({u"--version"_s}).action, Action::PrintVersion);
        // After "--" they are file names.
        const DesktopCommandLine named = ReadDesktopCommandLine({u"--"_s, u"--help"_s});
        QCOMPARE(named.action, Action::OpenWindow);
        QCOMPARE(named.file, u"--help"_s);
        QCOMPARE(ReadDesktopCommandLine({u"列表.txt"_s}).file, u"列表.txt"_s);

        const DesktopCommandLine unknown = ReadDesktopCommandLine({u"--frobnicate"_s});
        QCOMPARE(unknown.action, Action::Refuse);
        QVERIFY(unknown.problem.contains(u"--frobnicate"_s));
        QCOMPARE(ReadDesktopCommandLine({u"a.txt"_s, u"b.txt"_s}).action, Action::Refuse);

        QVERIFY(DesktopUsage().contains(u"haojian-cli"_s));
        QVERIFY(DesktopVersion().startsWith(u"haojian "_s));
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
