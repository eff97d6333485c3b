// Opening the statistics window over the rows of a query run through the main window, at
// 10,000,000 rows: from the command to the window shown with its tables and chart filled, the
// rows counted off the UI thread meanwhile.
#include <benchmark/benchmark.h>

#include <QComboBox>
#include <QElapsedTimer>
#include <QWindow>
#include <string>

#include "bench/support/generated_data.h"
#include "bench/support/window_bench_support.h"
#include "core/run/result_table.h"
#include "shell/main_window.h"
#include "shell/statistics_window.h"
#include "tests/support/test_files.h"

namespace {

using haojian::TForm1;
using haojian::bench::BenchDialogs;
using haojian::bench::NoOpener;
using haojian::bench::PumpUntil;

void BM_OpenStatistics(benchmark::State& state) {
    const auto count = std::size_t(state.range(0));
    haojian::testing::TempDir dir;
    const std::string database = haojian::bench::GenerateDatabaseBytes(300000, 1);
    dir.Write("kelvaronset.dat", database);
    BenchDialogs dialogs;
    dialogs.path = QString::fromStdString(
        dir.Write("numbers.txt", haojian::bench::GenerateNumberBytes(database, count, 0.97, 2)));
    NoOpener opener;
    TForm1 window({dialogs, opener, haojian::RealFileSystem(), dir.path()});
    window.show();
    haojian::bench::ImportAndQuery(window);
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        // The rows are counted off the UI thread; the window shows once they are.
        window.ShowStatistics();
        PumpUntil([&] {
            const haojian::StatisticsWindow* shown = window.Statistics();
            return !window.Busy() && shown && shown->isVisible() && shown->windowHandle() &&
                   shown->windowHandle()->isExposed();
        });
        haojian::StatisticsWindow* statistics = window.Statistics();
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
        state.PauseTiming();
        statistics->close();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["rows"] = double(window.Run().Rows().size());
}
BENCHMARK(BM_OpenStatistics)
    ->Arg(10000000)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
    return haojian::bench::RunWindowBenchmarks(argc, argv);
}
