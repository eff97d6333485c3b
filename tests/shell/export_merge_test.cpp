// Export and Merge through the window: dialogs, filters, layouts, status texts and failures.
#include <QApplication>
#include <QtTest>
#include <cerrno>

#include "application.h"
#include "export.h"
#include "faulty_file_system.h"
#include "gbk_text.h"
#include "maker.h"
#include "window_harness.h"

using namespace haojian;
using namespace haojian::testing;
using namespace Qt::StringLiterals;

namespace {

// GBK bytes of a UTF-16 literal, for expected file contents.
std::string Gbk(const QString& text) {
    return ToGbk(text);
}

// Notes the pointer and the status text whenever the window's command opens a file.
class SpyFileSystem final : public FileSystem {
public:
    explicit SpyFileSystem(TForm1** window) : window_(window) {}
    std::vector<Qt::CursorShape> pointers;
    QStringList statuses;

    bool IsFile(const std::string& path) override { return RealFileSystem().IsFile(path); }
    std::unique_ptr<InputFile> OpenRead(const std::string& path) override {
        const QCursor* cursor = QApplication::overrideCursor();
        pointers.push_back(cursor ? cursor->shape() : Qt::ArrowCursor);
        if (*window_) statuses << (*window_)->StatusText(6);
        return RealFileSystem().OpenRead(path);
    }
    std::unique_ptr<OutputFile> Create(const std::string& path) override {
        return RealFileSystem().Create(path);
    }
    std::unique_ptr<OutputFile> CreateTemporary(const std::string& directory,
                                                std::string* created) override {
        return RealFileSystem().CreateTemporary(directory, created);
    }
    void Rename(const std::string& from, const std::string& to) override {
        RealFileSystem().Rename(from, to);
    }
    void Remove(const std::string& path) noexcept override { RealFileSystem().Remove(path); }

private:
    TForm1** window_;
};

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
        h.Press("SpeedButton5");
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
        h.Press("SpeedButton5");
        QVERIFY(h.dialogs.file_requests.empty());
        QCOMPARE(h.Status(6), ContactLine());

        h.Import(kNumbers);
        QVERIFY(h.QueryToEnd());
        h.Press("SpeedButton5");  // cancelled
        QCOMPARE(h.Status(6), u"查询处理完毕！"_s);
        // The proposed name comes from the city box, in the program's directory.
        const FileRequest& r = h.dialogs.file_requests.back();
        QCOMPARE(r.kind, FileRequest::Kind::Save);
        QCOMPARE(r.directory, QString::fromStdString(h.dir.path()));
        QCOMPARE(r.file_name, u"任意城市.txt"_s);
        h.Box("ComboBox2")->setCurrentIndex(h.Items("ComboBox2").indexOf(u"南京"_s));
        h.Press("SpeedButton5");
        QCOMPARE(h.dialogs.file_requests.back().file_name, u"南京.txt"_s);
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
        h.Press("SpeedButton5");
        QCOMPARE(h.Errors(), QStringList{FromGbk(FileErrorText(ENOSPC)) + u"."_s});
        QCOMPARE(h.Status(6), u"查询处理完毕！"_s);
        QCOMPARE(ReadFileBytes(path), "kept\r\n");
    }

    void MergeFlow() {
        WindowHarness h;
        TForm1* window = nullptr;
        SpyFileSystem files(&window);
        window = &h.Open(files);
        // The first source ends without a line break; case twins and a blank line.
        const std::string a = h.dir.Write("a.txt", "Beta\r\n13800\r\n\r\nalpha");
        const std::string b = h.dir.Write("b.txt", "-tail\nBETA\n1380\n");
        const std::string out = h.dir.path() + "merged.txt";
        h.dialogs.file_answers = {{QString::fromStdString(a), QString::fromStdString(b)},
                                  {QString::fromStdString(out)}};
        h.Press("SpeedButton1");
        QCOMPARE(ReadFileBytes(out), "\r\n1380\r\n13800\r\nalpha-tail\r\nBeta\r\n");
        QCOMPARE(h.Status(6), u"文件合并整理完毕！共计：5"_s);
        QVERIFY(h.dialogs.boxes.empty());

        // Busy while the sources were read, with the status shown; normal again afterwards.
        QVERIFY(!files.pointers.empty());
        QCOMPARE(files.pointers.back(), Qt::BusyCursor);
        QCOMPARE(files.statuses.back(), u"数据正处理中..."_s);
        QCOMPARE(QApplication::overrideCursor(), nullptr);

        QCOMPARE(h.dialogs.file_requests[0].kind, FileRequest::Kind::OpenMany);
        QCOMPARE(h.dialogs.file_requests[1].kind, FileRequest::Kind::Save);
        // Each dialog starts where its last choice was.
        h.Press("SpeedButton1");
        QCOMPARE(h.dialogs.file_requests[2].directory,
                 QString::fromStdString(h.dir.path()).chopped(1));
    }

    void MergeCancelledOrFailing() {
        WindowHarness h;
        h.Open();
        const std::string a = h.dir.Write("a.txt", "1\r\n");
        const std::string out = h.dir.path() + "merged.txt";
        // Cancelled at the first or the second dialog: nothing happens.
        h.Press("SpeedButton1");
        h.dialogs.file_answers = {{QString::fromStdString(a)}, {}};
        h.Press("SpeedButton1");
        QCOMPARE(h.dialogs.file_requests.size(), std::size_t(3));
        QCOMPARE(ReadFileBytes(out), "<missing>");
        QCOMPARE(h.Status(6), ContactLine());

        // A source gone since it was chosen: the error names it, the pointer comes back.
        const QString gone = QString::fromStdString(h.dir.path() + "gone.txt");
        h.dialogs.file_answers = {{QString::fromStdString(a), gone}, {QString::fromStdString(out)}};
        std::vector<QCursor*> pointers_at_box;
        h.dialogs.on_box = [&](const BoxRequest&) {
            pointers_at_box.push_back(QApplication::overrideCursor());
        };
        h.Press("SpeedButton1");
        const QStringList errors = h.Errors();
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors[0].startsWith(u"Cannot open file \""_s + gone + u"\". "_s),
                 qPrintable(errors[0]));
        QCOMPARE(pointers_at_box, std::vector<QCursor*>{nullptr});
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        QCOMPARE(h.Status(6), u"数据正处理中..."_s);
    }

    void MergeCutByNul() {
        WindowHarness h;
        h.Open();
        const std::string a = h.dir.Write("a.txt", std::string("b\r\na\r\nc\0d\r\n", 11));
        const std::string out = h.dir.path() + "merged.txt";
        h.dialogs.file_answers = {{QString::fromStdString(a)}, {QString::fromStdString(out)}};
        h.Press("SpeedButton1");
        QCOMPARE(ReadFileBytes(out), "a\r\nb\r\nc\r\n");
        QCOMPARE(h.Status(6), u"文件合并整理完毕！共计：3"_s);
        QCOMPARE(h.Errors().size(), 1);
    }
};

QTEST_MAIN(ExportMergeTest)
#include "export_merge_test.moc"
