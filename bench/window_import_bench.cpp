// The main window on the offscreen platform: importing a workbook of 1,000,000 rows (a name,
// the number, a remark) against importing a text list of the same numbers, turn about in one
// run, from the Import press to the list in place (and on to the query's end). The workbook is
// read off the UI thread; the figures are the best and median of the rounds and their ratio.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "bench/support/generated_data.h"
#include "bench/support/window_bench_support.h"
#include "core/table/table_reader.h"
#include "core/table/workbook_writer.h"
#include "core/text/line_list.h"
#include "shell/main_window.h"
#include "tests/support/test_files.h"

namespace {

using haojian::TForm1;
using haojian::bench::BenchDialogs;
using haojian::bench::NoOpener;
using haojian::bench::PumpUntil;

constexpr std::size_t kRows = 1000000;

struct Fixture {
    haojian::testing::TempDir dir;
    std::string list;
    std::string book;

    Fixture() {
        const std::string database = haojian::bench::GenerateDatabaseBytes(300000, 1);
        dir.Write("kelvaronset.dat", database);
        const std::string numbers = haojian::bench::GenerateNumberBytes(database, kRows, 0.97, 2);
        list = dir.Write("numbers.txt", numbers);
        book = dir.path() + "numbers.xlsx";
        haojian::WorkbookWriter writer(haojian::RealFileSystem(), book);
        const std::array<std::string_view, 3> header = {"name", "phone", "remark"};
        writer.AddHeader(header);
        const haojian::LineList lines = haojian::LineList::FromBytes(numbers);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const std::string name = "customer " + std::to_string(i % 9973);
            const std::array<std::string_view, 3> row = {name, lines[i], "regular"};
            writer.AddRow(row);
        }
        writer.Commit();
    }
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Seconds from the Import press to the imported list in place, and on to the query's end.
std::pair<double, double> ImportAndQuery(TForm1& window, BenchDialogs& dialogs,
                                         const std::string& path) {
    dialogs.path = QString::fromStdString(path);
    QElapsedTimer clock;
    clock.start();
    window.SpeedButton4Click();
    PumpUntil([&] { return !window.Busy() && window.Run().NumberCount() == kRows; });
    const double imported = double(clock.nsecsElapsed()) / 1e9;
    window.SpeedButton2Click();
    PumpUntil([&] { return window.Run().State() == haojian::RunState::Complete; });
    return {imported, double(clock.nsecsElapsed()) / 1e9};
}

Fixture& TheFixture() {
    static Fixture fixture;
    return fixture;
}

void BM_ImportWorkbookAgainstTextList(benchmark::State& state) {
    Fixture& fixture = TheFixture();
    BenchDialogs dialogs;
    NoOpener opener;
    TForm1 window({dialogs, opener, haojian::RealFileSystem(), fixture.dir.path()});
    window.show();
    std::vector<double> text, book, text_query, book_query, ratio, ratio_query;
    for (auto _ : state) {
        const auto [t, tq] = ImportAndQuery(window, dialogs, fixture.list);
        const auto [b, bq] = ImportAndQuery(window, dialogs, fixture.book);
        text.push_back(t);
        book.push_back(b);
        text_query.push_back(tq);
        book_query.push_back(bq);
        ratio.push_back(b / t);
        ratio_query.push_back(bq / tq);
        state.SetIterationTime(t + b);
    }
    state.counters["text_ms_best"] = *std::min_element(text.begin(), text.end()) * 1e3;
    state.counters["book_ms_best"] = *std::min_element(book.begin(), book.end()) * 1e3;
    state.counters["ratio_best"] = *std::min_element(ratio.begin(), ratio.end());
    state.counters["ratio_median"] = Median(ratio);
    state.counters["with_query_text_ms_best"] =
        *std::min_element(text_query.begin(), text_query.end()) * 1e3;
    state.counters["with_query_book_ms_best"] =
        *std::min_element(book_query.begin(), book_query.end()) * 1e3;
    state.counters["with_query_ratio_best"] =
        *std::min_element(ratio_query.begin(), ratio_query.end());
    state.counters["with_query_ratio_median"] = Median(ratio_query);
}
// The same workbook read by the core alone, without the window: what the window's import adds
// is the difference.
void BM_ReadWorkbookInCore(benchmark::State& state) {
    Fixture& fixture = TheFixture();
    for (auto _ : state) {
        std::size_t rows = 0;
        haojian::TableReader::Open(haojian::RealFileSystem(), fixture.book, {})
            ->ReadRows([&](const haojian::TableRow&) { ++rows; });
        benchmark::DoNotOptimize(rows);
    }
}
BENCHMARK(BM_ReadWorkbookInCore)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK(BM_ImportWorkbookAgainstTextList)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
    return haojian::bench::RunWindowBenchmarks(argc, argv);
}
