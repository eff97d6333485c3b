// Import, Query, Stop and the progress tick through the window, and closing it.
#include <QAbstractItemView>
#include <QProgressBar>
#include <QTimer>
#include <QtTest>

#include "core/run/result_table.h"
#include "shell/application.h"
#include "shell/maker.h"
#include "tests/shell/support/window_harness.h"

using namespace haojian;
using namespace haojian::testing;
using namespace Qt::StringLiterals;

namespace {

QStringList RowTexts(QAbstractItemModel* model, int row) {
    QStringList texts;
    for (int c = 0; c < 4; ++c) texts << model->index(row, c).data().toString();
    return texts;
}

// The i-th number of a long list in the test database's segments.
std::string NumberAt(int i) {
    static const char* const kSegments[] = {"1380010", "1330000", "1890000", "1700000"};
    char number[16];
    std::snprintf(number, sizeof number, "%s%04d", kSegments[i % 4], i % 10000);
    return number;
}

std::string ManyNumbers(int count) {
    std::string list;
    for (int i = 0; i < count; ++i) list += NumberAt(i) + "\n";
    return list;
}

}  // namespace

class QueryFlowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { SetUpApplication(); }

    void ImportQueryComplete() {
        WindowHarness h;
        TForm1& w = h.Open();
        auto* model = h.Find<QAbstractItemView>("ListView1")->model();
        auto* progress = h.Find<QProgressBar>("ProgressBar1");
        auto* timer = h.Find<QTimer>("Timer1");

        // A repeated number, an empty line, a blank and a number in no segment.
        h.Import(
            "13800101234\r\n13300001111\r\n\r\n 18900005555\r\n13800101234\r\n17400001234\r\n");
        const FileRequest& dialog = h.dialogs.file_requests.back();
        QCOMPARE(dialog.directory, QString::fromStdString(h.dir.path()));
        QCOMPARE(dialog.default_suffix, u"txt"_s);
        QCOMPARE(h.Status(1), u"6"_s);
        QCOMPARE(h.Status(6), u"导入查询数据！"_s);

        h.Press("SpeedButton2");
        QVERIFY(timer->isActive());
        QCOMPARE(progress->maximum(), 6);
        QVERIFY(h.WaitForWorker());
        QCOMPARE(h.Status(6), u"查询处理完毕！"_s);
        QCOMPARE(h.Status(3), u"6"_s);
        QCOMPARE(model->rowCount(), 6);
        QCOMPARE(RowTexts(model, 0),
                 (QStringList{u"13800101234"_s, u"江苏"_s, u"南京"_s, u"移动"_s}));
        QCOMPARE(RowTexts(model, 2), (QStringList{QString(), u"未知"_s, u"未知"_s, u"未知"_s}));
        QCOMPARE(RowTexts(model, 3)[0], u" 18900005555"_s);
        for (const char* b : {"SpeedButton2", "SpeedButton3", "SpeedButton4"})
            QVERIFY(h.Enabled(b));
        QVERIFY(h.Items("ComboBox1").isEmpty());  // the boxes wait for the tick

        w.Timer1Timer();
        QCOMPARE(progress->value(), 6);
        QVERIFY(!timer->isActive());
        const QStringList provinces = h.Items("ComboBox1");
        QCOMPARE(provinces.size(), 4);  // the wildcard, then 江苏, 重庆 and 未知 once each
        QCOMPARE(provinces.first(), u"任意省份"_s);
        QCOMPARE(h.Box("ComboBox1")->currentIndex(), 0);
        QCOMPARE(h.Items("ComboBox2").first(), u"任意城市"_s);

        // Everything resolved: Query wants a new list.
        h.Press("SpeedButton2");
        QCOMPARE(h.Errors(), QStringList{u"请重新导入手机号码列表文件."_s});
    }

    // The window's own timer fills the boxes.
    void TimerFillsTheBoxes() {
        WindowHarness h;
        h.Open();
        h.Import("13800101234\n");
        h.Press("SpeedButton2");
        QVERIFY(PumpUntil([&] { return h.Items("ComboBox1").size() == 2; }, 10000));
        QCOMPARE(h.Items("ComboBox2"), (QStringList{u"任意城市"_s, u"南京"_s}));
        QVERIFY(!h.Find<QTimer>("Timer1")->isActive());
    }

    void StopAndResume() {
        WindowHarness h;
        TForm1& w = h.Open();
        auto* model = h.Find<QAbstractItemView>("ListView1")->model();
        const int count = 300000;
        h.Import(ManyNumbers(count));
        h.Press("SpeedButton3");  // no run: nothing happens
        QCOMPARE(h.Status(6), u"导入查询数据！"_s);

        h.Press("SpeedButton2");
        QVERIFY(!h.Enabled("SpeedButton2") && h.Enabled("SpeedButton3") &&
                !h.Enabled("SpeedButton4"));
        QVERIFY(PumpUntil([&] { return model->rowCount() > 0; }));
        h.Press("SpeedButton3");
        QCOMPARE(h.Status(6), u"查询任务中止..."_s);
        QVERIFY(h.Enabled("SpeedButton2") && !h.Enabled("SpeedButton3") &&
                h.Enabled("SpeedButton4"));
        QVERIFY(h.WaitForWorker());
        const int stopped_at = model->rowCount();
        QVERIFY(stopped_at < count);
        QCOMPARE(h.Status(3), QString::number(stopped_at));
        w.Timer1Timer();
        QVERIFY(h.Items("ComboBox1").isEmpty());

        // Query goes on below the rows already there: none twice, none skipped.
        QVERIFY(h.QueryToEnd());
        QCOMPARE(model->rowCount(), count);
        const ResultTable& rows = w.Run().Rows();
        for (int i : {0, stopped_at - 1, stopped_at, count - 1}) {
            QCOMPARE(std::string(rows.Row(std::size_t(i)).number), NumberAt(i));
        }
        QCOMPARE(h.Items("ComboBox1").size(), 5);

        // A new Import empties the list; the boxes stay.
        h.Import("18900001234\n");
        QCOMPARE(model->rowCount(), 0);
        QCOMPARE(h.Items("ComboBox1").size(), 5);
    }

    void RefusedQueriesAndFailedImport() {
        WindowHarness h;
        h.Open();
        h.Press("SpeedButton4");  // cancelled: nothing changes
        QCOMPARE(h.Status(6), ContactLine());
        h.Press("SpeedButton2");
        h.Import("");
        QCOMPARE(h.Status(1), u"0"_s);
        h.Press("SpeedButton2");
        QCOMPARE(h.Errors(),
                 (QStringList{u"请先导入手机号码列表文件."_s, u"请先导入手机号码列表文件."_s}));
        QCOMPARE(h.dialogs.boxes.back().caption, u"【瓴岚号鉴】 V1.0"_s);

        // A file that cannot be read: the rows and panels of the last run stay.
        h.Import("13800101234\n13800101235\n");
        QVERIFY(h.QueryToEnd());
        const QString missing = QString::fromStdString(h.dir.path() + "gone.txt");
        h.dialogs.file_answers.push_back({missing});
        h.Press("SpeedButton4");
        QVERIFY2(h.Errors().last().contains(missing), qPrintable(h.Errors().last()));
        QCOMPARE(h.Find<QAbstractItemView>("ListView1")->model()->rowCount(), 2);
        QCOMPARE(h.Status(1), u"2"_s);
        h.Press("SpeedButton2");
        QCOMPARE(h.Errors().last(), u"请先导入手机号码列表文件."_s);
    }

    void CloseAnsweredNoThenYes() {
        WindowHarness h;
        TForm1& w = h.Open();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QSignalSpy closed(&w, &TForm1::Closed);
        h.dialogs.confirm_answers = {Answer::No, Answer::No, Answer::No, Answer::Yes};
        h.Press("SpeedButton10");
        QVERIFY(w.isVisible());
        QCOMPARE(h.dialogs.boxes.back().caption, u"确认"_s);
        QCOMPARE(h.dialogs.boxes.back().text, u"确认退出瓴岚号鉴吗?"_s);
        w.close();  // the title bar's close asks the same
        QVERIFY(w.isVisible());
        // Hidden, as in the tray: No leaves it hidden; Yes still ends the application.
        w.hide();
        w.N23Click();
        QVERIFY(w.isHidden());
        QCOMPARE(closed.count(), 0);
        w.N23Click();
        QCOMPARE(closed.count(), 1);
        QCOMPARE(h.dialogs.BoxesOf(BoxKind::Confirm).size(), std::size_t(4));
    }

    // Closing during a run stops the worker and waits for it, without hanging.
    void CloseDuringRun() {
        WindowHarness h;
        TForm1& w = h.Open();
        w.show();
        h.Import(ManyNumbers(300000));
        h.Press("SpeedButton2");
        QVERIFY(PumpUntil([&] { return w.Run().Rows().size() > 0; }));
        QVERIFY(w.close());
        QVERIFY(!w.Run().WorkerAlive());
        QVERIFY(w.Run().Rows().size() < 300000);
    }
};

QTEST_MAIN(QueryFlowTest)
#include "query_flow_test.moc"
