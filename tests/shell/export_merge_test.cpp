// Export and Merge through the window: dialogs, filters, layouts, status texts and failures.
#include <QApplication>
#include <QtTest>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <thread>

#include "core/export/export.h"
#include "core/table/table_reader.h"
#include "core/threads/thread_start.h"
#include "shell/application.h"
#include "shell/gbk_text.h"
#include "shell/main_window_tray.h"
#include "shell/maker.h"
#include "tests/shell/support/fake_notify_icon_shell.h"
#include "tests/shell/support/gated_file_system.h"
#include "tests/shell/support/window_harness.h"
#include "tests/support/faulty_file_system.h"

using namespace haojian;
using namespace haojian::testing;
using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

// GBK bytes of a UTF-16 literal, for expected file contents.
std::string Gbk(const QString& text) {
    return ToGbk(text);
}

// Counts the paint events a widget receives.
struct PaintCounter : QObject {
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++count;
        return false;
    }
    int count = 0;
};

// Presses a tool-bar button and waits until the work it started off the UI thread has ended.
void Run(WindowHarness& h, const char* button) {
    h.Press(button);
    QVERIFY(h.WaitUntilIdle());
}

const char kNumbers[] =
    "13800101234\r\n"       // 江苏 南京 移动
    "1330000\r\n"           // 重庆 重庆 联通, shorter than the mask
    "18900009876\r\n"       // 北京 北京 电信
    "17400001234\r\n"       // 未知 未知 未知
    "138001099999999\r\n";  // 江苏 南京 移动, longer than the mask

}  // namespace

class ExportMergeTest : public QObject {
    Q_OBJECT

    // A window with kNumbers resolved and the filter boxes filled.
    void RunToEnd(WindowHarness& h) {
        h.Open();
        h.Import(kNumbers);
        QVERIFY(h.QueryToEnd());
        QCOMPARE(h.Items("ComboBox1").size(), 5);
    }

    // Exports into a fresh file and gives its bytes.
    std::string Export(WindowHarness& h, const std::string& name) {
        const std::string path = h.dir.path() + name;
        h.dialogs.file_answers.push_back({QString::fromStdString(path)});
        Run(h, "SpeedButton5");
        return ReadFileBytes(path);
    }

private slots:
    void initTestCase() { SetUpApplication(); }

    // The layout text reaches the core as typed: the first and the last of the six.
    void Layouts() {
        WindowHarness h;
        RunToEnd(h);
        QCOMPARE(Export(h, "numbers.txt"),
                 "138001012**\r\n1330000**\r\n189000098**\r\n174000012**\r\n138001099**\r\n");
        QCOMPARE(h.Status(6), u"导出符合数据5条"_s);
        h.Box("ComboBox4")->setCurrentIndex(5);
        QCOMPARE(Export(h, "city_card.txt"),
                 Gbk(u"138001012** 南京 移动\r\n1330000** 重庆 联通\r\n189000098** 北京 电信\r\n"
                     u"174000012** 未知 未知\r\n138001099** 南京 移动\r\n"_s));
        QVERIFY(h.dialogs.boxes.empty());
    }

    void Filters() {
        WindowHarness h;
        RunToEnd(h);
        // A picked province and a typed card type.
        h.Box("ComboBox1")->setCurrentIndex(h.Items("ComboBox1").indexOf(u"江苏"_s));
        h.Box("ComboBox3")->setEditText(u"移动"_s);
        QCOMPARE(Export(h, "jiangsu.txt"), "138001012**\r\n138001099**\r\n");
        QCOMPARE(h.Status(6), u"导出符合数据2条"_s);

        // "未知" passes the unresolved rows only.
        h.Box("ComboBox1")->setCurrentIndex(0);
        h.Box("ComboBox3")->setEditText(u"任意卡类"_s);
        h.Box("ComboBox2")->setEditText(u"未知"_s);
        QCOMPARE(Export(h, "unknown.txt"), "174000012**\r\n");

        // A text no row carries (a stray blank) gives an empty file.
        h.Box("ComboBox2")->setEditText(u"南京 "_s);
        QCOMPARE(Export(h, "none.txt"), "");
        QCOMPARE(h.Status(6), u"导出符合数据0条"_s);
    }

    void ExportDialogAndRefusals() {
        WindowHarness h;
        h.Open();
        // No rows: no dialog, no status.
        Run(h, "SpeedButton5");
        QVERIFY(h.dialogs.file_requests.empty());
        QCOMPARE(h.Status(6), ContactLine());

        h.Import(kNumbers);
        QVERIFY(h.QueryToEnd());
        Run(h, "SpeedButton5");  // cancelled
        QCOMPARE(h.Status(6), u"查询处理完毕！"_s);
        // The proposed name comes from the city box, in the program's directory.
        const FileRequest& r = h.dialogs.file_requests.back();
        QCOMPARE(r.kind, FileRequest::Kind::Save);
        QCOMPARE(r.directory, QString::fromStdString(h.dir.path()));
        QCOMPARE(r.file_name, u"任意城市.txt"_s);
        h.Box("ComboBox2")->setCurrentIndex(h.Items("ComboBox2").indexOf(u"南京"_s));
        Run(h, "SpeedButton5");
        QCOMPARE(h.dialogs.file_requests.back().file_name, u"南京.txt"_s);
    }

    // The dialog offers workbooks and CSV after its two text filters; a workbook's name writes
    // a workbook. 原表+归属地 follows the six layouts and wants a table's import.
    void ExportAsWorkbook() {
        WindowHarness h;
        RunToEnd(h);
        const QStringList layouts = h.Items("ComboBox4");
        QCOMPARE(layouts.size(), 7);
        QCOMPARE(layouts[5], u"手机号码+城市+卡类"_s);
        QCOMPARE(layouts[6], u"原表+归属地"_s);

        h.Box("ComboBox4")->setCurrentIndex(4);
        h.Box("ComboBox1")->setCurrentIndex(h.Items("ComboBox1").indexOf(u"江苏"_s));
        const std::string path = h.dir.path() + "out.xlsx";
        Export(h, "out.xlsx");
        const FileRequest& r = h.dialogs.file_requests.back();
        QCOMPARE(r.name_filters,
                 (QStringList{u"Text files(*.txt)"_s, u"All files(*)"_s,
                              u"Excel workbooks(*.xlsx)"_s, u"CSV files(*.csv)"_s}));
        QCOMPARE(r.filter_suffixes, (QStringList{u"txt"_s, QString(), u"xlsx"_s, u"csv"_s}));
        QCOMPARE(r.default_suffix, u"txt"_s);
        QCOMPARE(h.Status(6), u"导出符合数据2条"_s);
        std::vector<std::vector<std::string>> rows;
        TableReader::Open(RealFileSystem(), path, {.sheet = {}, .column = "1"})
            ->ReadRows([&](const TableRow& row) { rows.push_back(row.cells); });
        QCOMPARE(rows.size(), std::size_t(3));
        QCOMPARE(rows[0],
                 (std::vector<std::string>{Gbk(u"手机号码"_s), Gbk(u"省份"_s), Gbk(u"卡类"_s)}));
        QCOMPARE(rows[1],
                 (std::vector<std::string>{"138001012**", Gbk(u"江苏"_s), Gbk(u"移动"_s)}));
        QCOMPARE(rows[2][0], std::string("138001099**"));

        // A text list's import: refused before any dialog.
        const std::size_t asked = h.dialogs.file_requests.size();
        h.Box("ComboBox4")->setCurrentIndex(6);
        Run(h, "SpeedButton5");
        QCOMPARE(h.dialogs.file_requests.size(), asked);
        QCOMPARE(h.Errors(),
                 QStringList{
                     u"“原表+归属地”只能导出从Excel工作簿或CSV表格导入的号码，请先导入表格！."_s});
    }

    void ExportFailure() {
        WindowHarness h;
        FaultyFileSystem files;
        h.Open(files);
        h.Import(kNumbers);
        QVERIFY(h.QueryToEnd());
        const std::string path = h.dir.Write("old.txt", "kept\r\n");
        files.FailAt(FaultyFileSystem::Op::Write, files.Calls(FaultyFileSystem::Op::Write) + 1,
                     ENOSPC);
        h.dialogs.file_answers.push_back({QString::fromStdString(path)});
        Run(h, "SpeedButton5");
        QCOMPARE(h.Errors(), QStringList{u"I/O error 28."_s});
        QCOMPARE(h.Status(6), u"查询处理完毕！"_s);
        QCOMPARE(ReadFileBytes(path), "kept\r\n");
    }

    void MergeFlow() {
        WindowHarness h;
        h.Open();
        // The first source ends without a line break; case twins and a blank line.
        const std::string a = h.dir.Write("a.txt", "Beta\r\n13800\r\n\r\nalpha");
        const std::string b = h.dir.Write("b.txt", "-tail\nBETA\n1380\n");
        const std::string out = h.dir.path() + "merged.txt";
        h.dialogs.file_answers = {{QString::fromStdString(a), QString::fromStdString(b)},
                                  {QString::fromStdString(out)}};
        Run(h, "SpeedButton1");
        QCOMPARE(ReadFileBytes(out), "\r\n1380\r\n13800\r\nalpha-tail\r\nBeta\r\n");
        QCOMPARE(h.Status(6), u"文件合并整理完毕！共计：5"_s);
        QVERIFY(h.dialogs.boxes.empty());
        QCOMPARE(QApplication::overrideCursor(), nullptr);

        QCOMPARE(h.dialogs.file_requests[0].kind, FileRequest::Kind::OpenMany);
        QCOMPARE(h.dialogs.file_requests[1].kind, FileRequest::Kind::Save);
        // Each dialog starts where its last choice was.
        Run(h, "SpeedButton1");
        QCOMPARE(h.dialogs.file_requests[2].directory,
                 QString::fromStdString(h.dir.path()).chopped(1));
    }

    // While a merge runs, the window repaints and takes input, with the busy pointer, the
    // status text, and Export, Merge and Exit disabled; a close confirmed meanwhile waits for
    // the merge's end.
    void MergeOffTheUiThread() {
        // The notification area outlives the window and its icon.
        FakeNotifyIconShell shell;
        WindowHarness h;
        GatedFileSystem files;
        TForm1& w = h.Open(files);
        MainWindowTray* tray = AttachTray(w, shell);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const std::string a = h.dir.Write("a.txt", "2\r\n1\r\n");
        const std::string out = h.dir.path() + "merged.txt";
        h.dialogs.file_answers = {{QString::fromStdString(a)}, {QString::fromStdString(out)}};
        files.Shut();
        h.Press("SpeedButton1");
        QVERIFY(files.WaitForArrival());

        QVERIFY(w.Busy());
        QCOMPARE(h.Status(6), u"数据正处理中..."_s);
        QVERIFY(QApplication::overrideCursor());
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::BusyCursor);
        for (const char* busy : {"SpeedButton5", "SpeedButton1", "SpeedButton10"})
            QVERIFY2(!h.Enabled(busy), busy);
        for (const char* free : {"SpeedButton4", "SpeedButton2", "SpeedButton6"})
            QVERIFY2(h.Enabled(free), free);
        PaintCounter painted(h.Find<QWidget>("StatusPanel6"));
        h.Find<QWidget>("StatusPanel6")->update();
        QVERIFY(PumpUntil([&] { return painted.count > 0; }, 5000));
        h.Press("SpeedButton6");
        QCOMPARE(h.opener.opened.size(), std::size_t(1));

        // Closing from the tray menu: the question comes now, the close once the merge is done.
        // Meanwhile the window comes back from the tray to say so, and takes no command.
        tray->N18Click();
        QVERIFY(!w.isVisible());
        QSignalSpy closed(&w, &TForm1::Closed);
        w.N23Click();
        QCOMPARE(h.dialogs.BoxesOf(BoxKind::Confirm).size(), std::size_t(1));
        QTest::qWait(50);
        QCOMPARE(closed.size(), 0);
        QVERIFY(w.isVisible());
        QCOMPARE(h.Status(6), u"正在合并数据文件，完成后退出..."_s);
        for (const char* command :
             {"SpeedButton4", "SpeedButton2", "SpeedButton3", "SpeedButton5", "SpeedButton1",
              "SpeedButton6", "SpeedButton9", "SpeedButton10"})
            QVERIFY2(!h.Enabled(command), command);
        files.Open();
        QVERIFY(h.WaitUntilIdle());
        QCOMPARE(ReadFileBytes(out), "1\r\n2\r\n");
        QCOMPARE(h.Status(6), u"文件合并整理完毕！共计：2"_s);
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        QCOMPARE(closed.size(), 1);
        QCOMPARE(h.dialogs.BoxesOf(BoxKind::Confirm).size(), std::size_t(1));
    }

    // An export started during a run covers the rows there were when it was pressed; the run
    // goes on meanwhile, and Import waits for the export even when the run would allow it.
    void ExportDuringARun() {
        WindowHarness h;
        GatedFileSystem files;
        TForm1& w = h.Open(files);
        std::atomic<int> allowed{3};
        WorkerOptions options;
        options.max_batch = 1;
        options.before_entry = [&](int position) {
            while (position > allowed.load()) std::this_thread::sleep_for(1ms);
        };
        w.Run().SetWorkerOptions(options);
        h.Import(kNumbers);
        h.Press("SpeedButton2");
        QVERIFY(PumpUntil([&] { return w.Run().Rows().size() == 3; }));

        const std::string path = h.dir.path() + "three.txt";
        h.dialogs.file_answers.push_back({QString::fromStdString(path)});
        files.Shut();
        h.Press("SpeedButton5");
        QVERIFY(files.WaitForArrival());
        allowed = 5;
        QVERIFY(PumpUntil([&] { return w.Run().Rows().size() == 5; }));
        h.Press("SpeedButton3");  // Stop: the run would allow Import again
        QVERIFY(h.Enabled("SpeedButton2"));
        QVERIFY(!h.Enabled("SpeedButton4"));
        files.Open();
        QVERIFY(h.WaitUntilIdle());
        QCOMPARE(ReadFileBytes(path), "138001012**\r\n1330000**\r\n189000098**\r\n");
        QCOMPARE(h.Status(6), u"导出符合数据3条"_s);
        QVERIFY(h.Enabled("SpeedButton4"));
        allowed = 1000;
    }

    // Where the system gives no thread, the merge is done on the UI thread, as before.
    void MergeWithoutAThread() {
        WindowHarness h;
        h.Open();
        const std::string a = h.dir.Write("a.txt", "b\r\na\r\n");
        const std::string out = h.dir.path() + "merged.txt";
        h.dialogs.file_answers = {{QString::fromStdString(a)}, {QString::fromStdString(out)}};
        {
            ThreadStartsRefused refused;
            h.Press("SpeedButton1");
            QVERIFY(!h.window().Busy());
        }
        QCOMPARE(ReadFileBytes(out), "a\r\nb\r\n");
        QCOMPARE(h.Status(6), u"文件合并整理完毕！共计：2"_s);
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        QVERIFY(h.Enabled("SpeedButton1"));
    }

    void MergeCancelledOrFailing() {
        WindowHarness h;
        h.Open();
        const std::string a = h.dir.Write("a.txt", "1\r\n");
        const std::string out = h.dir.path() + "merged.txt";
        // Cancelled at the first or the second dialog: nothing happens.
        Run(h, "SpeedButton1");
        h.dialogs.file_answers = {{QString::fromStdString(a)}, {}};
        Run(h, "SpeedButton1");
        QCOMPARE(h.dialogs.file_requests.size(), std::size_t(3));
        QCOMPARE(ReadFileBytes(out), "<missing>");
        QCOMPARE(h.Status(6), ContactLine());

        // A source gone since it was chosen: the error names it, the pointer comes back, and
        // the status says the merge failed.
        const QString gone = QString::fromStdString(h.dir.path() + "gone.txt");
        h.dialogs.file_answers = {{QString::fromStdString(a), gone}, {QString::fromStdString(out)}};
        std::vector<QCursor*> pointers_at_box;
        h.dialogs.on_box = [&](const BoxRequest&) {
            pointers_at_box.push_back(QApplication::overrideCursor());
        };
        Run(h, "SpeedButton1");
        const QStringList errors = h.Errors();
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors[0].startsWith(u"Cannot open file \""_s + gone + u"\". "_s),
                 qPrintable(errors[0]));
        QCOMPARE(pointers_at_box, std::vector<QCursor*>{nullptr});
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        QCOMPARE(h.Status(6), u"文件合并失败！"_s);
    }

    void MergeCutByNul() {
        WindowHarness h;
        h.Open();
        const std::string a = h.dir.Write("a.txt", std::string("b\r\na\r\nc\0d\r\n", 11));
        const std::string out = h.dir.path() + "merged.txt";
        h.dialogs.file_answers = {{QString::fromStdString(a)}, {QString::fromStdString(out)}};
        Run(h, "SpeedButton1");
        QCOMPARE(ReadFileBytes(out), "a\r\nb\r\nc\r\n");
        QCOMPARE(h.Status(6), u"文件合并整理完毕！共计：3"_s);
        QCOMPARE(h.Errors().size(), 1);
    }
};

QTEST_MAIN(ExportMergeTest)
#include "export_merge_test.moc"
