// The main window on the offscreen platform: a whole query run through the window, from the
// Query press to the filled filter boxes, at 10,000,000 and 50,000,000 numbers (the time per
// number must not grow with the list), and the start-up to the shown window.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QWindow>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>

#include "bench/support/generated_data.h"
#include "bench/support/window_bench_support.h"
#include "core/run/result_table.h"
#include "shell/main_window.h"
#include "tests/support/test_files.h"

namespace {

using haojian::TForm1;
using haojian::bench::BenchDialogs;
using haojian::bench::NoOpener;
using haojian::bench::PumpUntil;

// A program directory with a database of 300,000 segments and number lists of the sizes asked
// for, nearly all of them in a segment; each made once. HAOJIAN_WINDOW_BENCH_FOLDER names a
// folder to take the database and the lists from instead (numbers_COUNT.txt), so that another
// program can be timed on the same files.
struct Fixture {
    haojian::testing::TempDir dir;
    std::string given_folder;
    std::string database;
    std::map<std::size_t, std::string> lists;

    Fixture() {
        if (const char* folder = std::getenv("HAOJIAN_WINDOW_BENCH_FOLDER")) {
            // A program directory ends in a separator, as TempDir's path does.
            given_folder = folder;
            if (given_folder.empty() || given_folder.back() != '/') given_folder += '/';
            return;
        }
        database = haojian::bench::GenerateDatabaseBytes(300000, 1);
        dir.Write("kelvaronset.dat", database);
    }

    std::string Folder() const { return given_folder.empty() ? dir.path() : given_folder; }

    const std::string& Numbers(std::size_t count) {
        auto found = lists.find(count);
        if (found == lists.end() && !given_folder.empty()) {
            const std::string path = given_folder + "numbers_" + std::to_string(count) + ".txt";
            found = lists.emplace(count, path).first;
        }
        if (found == lists.end()) {
            const std::string name = "numbers_" + std::to_string(count) + ".txt";
            found = lists
                        .emplace(count, dir.Write(name, haojian::bench::GenerateNumberBytes(
                                                            database, count, 0.97, 2)))
                        .first;
        }
        return found->second;
    }
};

Fixture& TheFixture() {
    static Fixture fixture;
    return fixture;
}

void BM_QueryThroughWindow(benchmark::State& state) {
    const auto count = std::size_t(state.range(0));
    Fixture& fixture = TheFixture();
    BenchDialogs dialogs;
    dialogs.path = QString::fromStdString(fixture.Numbers(count));
    NoOpener opener;
    TForm1 window({dialogs, opener, haojian::RealFileSystem(), fixture.Folder()});
    window.show();
    auto* province = window.findChild<QComboBox*>(QStringLiteral("ComboBox1"));
    double run_seconds = 0;
    for (auto _ : state) {
        window.SpeedButton4Click();  // Import
        QElapsedTimer clock;
        clock.start();
        window.SpeedButton2Click();  // Query
        PumpUntil([&] { return window.Run().State() == haojian::RunState::Complete; });
        const double seconds = double(clock.nsecsElapsed()) / 1e9;
        state.SetIterationTime(seconds);
        run_seconds += seconds;
        PumpUntil([&] { return province->count() > 0; });
        province->clear();
    }
    state.counters["rows"] = double(window.Run().Rows().size());
    state.counters["ns_per_number"] =
        run_seconds * 1e9 / double(state.iterations()) / double(count);
}
BENCHMARK(BM_QueryThroughWindow)
    ->Arg(10000000)
    ->Arg(50000000)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(3);

void BM_StartUpToShownWindow(benchmark::State& state) {
    Fixture& fixture = TheFixture();
    BenchDialogs dialogs;
    NoOpener opener;
    for (auto _ : state) {
        auto window = std::make_unique<TForm1>(
            haojian::WindowSeams{dialogs, opener, haojian::RealFileSystem(), fixture.Folder()});
        window->show();
        PumpUntil([&] { return window->isVisible() && window->windowHandle()->isExposed(); });
        state.PauseTiming();
        window.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartUpToShownWindow)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
    return haojian::bench::RunWindowBenchmarks(argc, argv);
}
