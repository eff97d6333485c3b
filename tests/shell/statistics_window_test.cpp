// The statistics window: its counts against a plain count of the rows, sorting, the chart, and
// saving the tables as CSV.
#include <QHeaderView>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QtTest>
#include <cerrno>
#include <map>
#include <random>

#include "core/export/export.h"
#include "core/export/statistics_csv.h"
#include "core/run/result_table.h"
#include "shell/application.h"
#include "shell/bar_chart.h"
#include "shell/gbk_text.h"
#include "shell/main_window_tray.h"
#include "shell/statistics_window.h"
#include "tests/shell/support/fake_notify_icon_shell.h"
#include "tests/shell/support/window_harness.h"
#include "tests/support/faulty_file_system.h"

using namespace haojian;
using namespace haojian::testing;
using namespace Qt::StringLiterals;

namespace {

// A table's rows as name -> (count, share text), and its names from top to bottom.
struct Shown {
    std::map<QString, std::pair<qulonglong, QString>> rows;
    QStringList names;
    std::vector<qulonglong> counts;
};

Shown Read(QTableWidget* table) {
    Shown shown;
    for (int row = 0; row < table->rowCount(); ++row) {
        const QString name = table->item(row, 0)->text();
        const qulonglong count = table->item(row, 1)->text().toULongLong();
        shown.rows[name] = {count, table->item(row, 2)->text()};
        shown.names << name;
        shown.counts.push_back(count);
    }
    return shown;
}

// Shows the table's tab and clicks a column's header.
void ClickHeader(QTableWidget* table, int column) {
    auto* tabs = qobject_cast<QTabWidget*>(table->parentWidget()->parentWidget());
    tabs->setCurrentWidget(table);
    QHeaderView* header = table->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
}

// Opens the statistics and waits while they are counted.
void ShowStatistics(TForm1& w) {
    w.ShowStatistics();
    QVERIFY(PumpUntil([&] { return !w.Busy(); }, 10000));
}

}  // namespace

class StatisticsWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { SetUpApplication(); }

    void CountsSortingAndChart() {
        WindowHarness h;
        TForm1& w = h.Open();
        // Random numbers in the four segments of the test database and in none.
        std::mt19937 random(7);
        const char* const heads[] = {"1380010", "1330000", "1890000", "1700000", "1740000"};
        std::string list;
        for (int i = 0; i < 3000; ++i)
            list +=
                std::string(heads[random() % 5]) + std::to_string(1000 + random() % 9000) + "\r\n";
        h.Import(list);
        QVERIFY(h.QueryToEnd());
        ShowStatistics(w);
        StatisticsWindow* window = w.Statistics();
        QVERIFY(window && window->isVisible());

        // Against a plain count of the rows.
        const ResultTable& rows = w.Run().Rows();
        std::map<QString, qulonglong> expected[3];
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const ResultRowView row = rows.Row(i);
            ++expected[0][FromGbk(row.province)];
            ++expected[1][FromGbk(row.city)];
            ++expected[2][FromGbk(row.card_type)];
        }
        const char* const tables[] = {"ProvinceCounts", "CityCounts", "CardTypeCounts"};
        for (int t = 0; t < 3; ++t) {
            auto* table = window->findChild<QTableWidget*>(tables[t]);
            const Shown shown = Read(table);
            QCOMPARE(shown.rows.size(), expected[t].size());
            for (const auto& [name, count] : expected[t]) {
                QCOMPARE(shown.rows.at(name).first, count);
                QCOMPARE(shown.rows.at(name).second,
                         QString::number(100.0 * double(count) / 3000.0, 'f', 2) + u'%');
            }
            // As counted, largest first; a click on the count's header turns the order round,
            // and the share's header sorts by count too.
            const FieldCounts& counted = t == 0   ? window->Statistics().provinces
                                         : t == 1 ? window->Statistics().cities
                                                  : window->Statistics().card_types;
            QStringList counted_names;
            for (const NameCount& name : counted.names) counted_names << FromGbk(name.name);
            QCOMPARE(shown.names, counted_names);
            QVERIFY(std::is_sorted(shown.counts.rbegin(), shown.counts.rend()));
            ClickHeader(table, 1);
            const Shown ascending = Read(table);
            std::reverse(counted_names.begin(), counted_names.end());
            QCOMPARE(ascending.names, counted_names);
            ClickHeader(table, 2);
            const Shown by_share = Read(table);
            QVERIFY(std::is_sorted(by_share.counts.begin(), by_share.counts.end()) ||
                    std::is_sorted(by_share.counts.rbegin(), by_share.counts.rend()));
        }
        QVERIFY(window->findChild<QLabel*>("StatisticsTotal")->text().contains(u"3000"_s));

        // The chart: one bar per province, largest first.
        auto* chart = window->findChild<BarChart*>("ProvinceChart");
        QCOMPARE(chart->Bars().size(), expected[0].size());
        QCOMPARE(chart->Bars().front().second, window->Statistics().provinces.names[0].count);
        QVERIFY(!chart->grab().isNull());

        // Opened again after more rows, it counts them.
        h.Import(list + list);
        QVERIFY(h.QueryToEnd());
        ShowStatistics(w);
        QCOMPARE(w.Statistics(), window);
        QCOMPARE(window->Statistics().provinces.total, std::size_t(6000));

        // Equal counts stand in the order counted, and turn round with the order.
        h.Import("13800101234\r\n13300001111\r\n18900001111\r\n17000001111\r\n");
        QVERIFY(h.QueryToEnd());
        ShowStatistics(w);
        QStringList counted;
        for (const NameCount& name : window->Statistics().provinces.names)
            counted << FromGbk(name.name);
        auto* provinces = window->findChild<QTableWidget*>("ProvinceCounts");
        QCOMPARE(Read(provinces).names, counted);
        ClickHeader(provinces, 1);
        std::reverse(counted.begin(), counted.end());
        QCOMPARE(Read(provinces).names, counted);
    }

    // Minimised with its main window, or hidden with it by the tray menu, the statistics window
    // comes back with it from the tray, above it; 统计... shows it again however it was left.
    void ComesBackWithTheMainWindow() {
        // The notification area outlives the window and its icon.
        FakeNotifyIconShell shell;
        WindowHarness h;
        TForm1& w = h.Open();
        MainWindowTray* tray = AttachTray(w, shell);
        w.show();
        ShowStatistics(w);
        StatisticsWindow* statistics = w.Statistics();
        QVERIFY(statistics && statistics->isVisible());

        statistics->showMinimized();
        w.showMinimized();
        QVERIFY(PumpUntil([&] { return !w.isVisible(); }, 5000));
        tray->N17Click();
        QVERIFY(w.isVisible() && !w.isMinimized());
        QVERIFY(statistics->isVisible());
        QVERIFY(!statistics->isMinimized());
        // Above the main window, where the user sees it: raised and active after it.
        QTRY_COMPARE(QApplication::activeWindow(), statistics);

        // The tray menu's 最小化显示 takes it along as the minimise box does.
        tray->N18Click();
        QVERIFY(!w.isVisible() && !statistics->isVisible());
        tray->N17Click();
        QVERIFY(w.isVisible() && statistics->isVisible());
        QTRY_COMPARE(QApplication::activeWindow(), statistics);

        // Closed, it stays closed when the main window comes back.
        statistics->close();
        w.showMinimized();
        QVERIFY(PumpUntil([&] { return !w.isVisible(); }, 5000));
        tray->N17Click();
        QVERIFY(!statistics->isVisible());

        statistics->show();
        statistics->showMinimized();
        ShowStatistics(w);
        QVERIFY(statistics->isVisible() && !statistics->isMinimized());
        statistics->showMaximized();
        statistics->setWindowState(statistics->windowState() | Qt::WindowMinimized);
        ShowStatistics(w);
        QVERIFY(!statistics->isMinimized());
        QVERIFY(statistics->isMaximized());
    }

    void SaveAsCsv() {
        WindowHarness h;
        FaultyFileSystem files;
        TForm1& w = h.Open(files);
        h.Import("13800101234\r\n13800101235\r\n18900001111\r\n");
        QVERIFY(h.QueryToEnd());
        ShowStatistics(w);
        auto* save = w.Statistics()->findChild<QPushButton*>("SaveCsv");

        save->click();  // cancelled
        QCOMPARE(h.dialogs.file_requests.back().kind, FileRequest::Kind::Save);
        QCOMPARE(h.dialogs.file_requests.back().default_suffix, u"csv"_s);

        const std::string path = h.dir.Write("stats.csv", "old");
        h.dialogs.file_answers.push_back({QString::fromStdString(path)});
        files.FailAt(FaultyFileSystem::Op::Write, files.Calls(FaultyFileSystem::Op::Write) + 1,
                     ENOSPC);
        save->click();
        QCOMPARE(h.Errors(), QStringList{u"I/O error 28."_s});
        QCOMPARE(ReadFileBytes(path), "old");

        h.dialogs.file_answers.push_back({QString::fromStdString(path)});
        save->click();
        QCOMPARE(ReadFileBytes(path), StatisticsCsv(w.Statistics()->Statistics()));
        QVERIFY(ReadFileBytes(path).find("\xE6\xB1\x9F\xE8\x8B\x8F,2,66.67%\r\n") !=
                std::string::npos);  // 江苏
    }

    // Beside the CSV, a workbook: a sheet per table and the provinces' chart.
    void SaveAsWorkbook() {
        WindowHarness h;
        TForm1& w = h.Open();
        h.Import("13800101234\r\n13800101235\r\n18900001111\r\n");
        QVERIFY(h.QueryToEnd());
        ShowStatistics(w);
        auto* save = w.Statistics()->findChild<QPushButton*>("SaveWorkbook");
        QVERIFY(save);
        QCOMPARE(save->text(), u"保存为Excel..."_s);
        const std::string path = h.dir.path() + "stats.xlsx";
        h.dialogs.file_answers.push_back({QString::fromStdString(path)});
        save->click();
        const FileRequest& r = h.dialogs.file_requests.back();
        QCOMPARE(r.title, u"统计结果保存为"_s);
        QCOMPARE(r.file_name, u"统计.xlsx"_s);
        QCOMPARE(r.name_filters, (QStringList{u"Excel工作簿(*.xlsx)"_s, u"所有文件(*)"_s}));
        QVERIFY(h.Errors().isEmpty());
        QVERIFY(ReadFileBytes(path).find("xl/charts/chart1.xml") != std::string::npos);
    }
};

QTEST_MAIN(StatisticsWindowTest)
#include "statistics_window_test.moc"
