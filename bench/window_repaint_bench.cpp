// Repainting the main window on the offscreen platform while its result list shows a row whose
// number text is one line of 12 MB (a comma-separated file imported as a list), beside the same
// window showing ordinary rows. The list shows a bounded prefix of a long text, so the two
// should cost about the same.
#include <benchmark/benchmark.h>

#include <QAbstractItemView>
#include <QElapsedTimer>
#include <string>

#include "bench/support/window_bench_support.h"
#include "core/run/result_table.h"
#include "shell/main_window.h"
#include "tests/support/test_files.h"

namespace {

using haojian::TForm1;
using haojian::bench::BenchDialogs;
using haojian::bench::NoOpener;

const char kDatabase[] = "138001005011\r\n133000013013\r\n";

std::string LongLine(std::size_t bytes) {
    std::string line = "13800101234";
    while (line.size() < bytes) line += ",13800101234";
    return line;
}

void RepaintWithList(benchmark::State& state, const std::string& list) {
    haojian::testing::TempDir dir;
    dir.Write("kelvaronset.dat", kDatabase);
    BenchDialogs dialogs;
    dialogs.path = QString::fromStdString(dir.Write("numbers.txt", list));
    NoOpener opener;
    TForm1 window({dialogs, opener, haojian::RealFileSystem(), dir.path()});
    window.show();
    haojian::bench::ImportAndQuery(window);
    auto* list_view = window.findChild<QAbstractItemView*>(QStringLiteral("ListView1"));
    list_view->scrollToTop();
    double longest_ms = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        window.repaint();
        longest_ms = std::max(longest_ms, double(clock.nsecsElapsed()) / 1e6);
    }
    state.counters["rows"] = double(window.Run().Rows().size());
    state.counters["longest_ms"] = longest_ms;
}

void BM_RepaintWith12MbRow(benchmark::State& state) {
    RepaintWithList(state, "13300001111\r\n" + LongLine(12 * 1000 * 1000) + "\r\n18900001111\r\n");
}
BENCHMARK(BM_RepaintWith12MbRow)->Unit(benchmark::kMillisecond)->Iterations(20);

// The peer: the same window with short rows only.
void BM_RepaintWithShortRows(benchmark::State& state) {
    RepaintWithList(state, "13300001111\r\n13800101234\r\n18900001111\r\n");
}
BENCHMARK(BM_RepaintWithShortRows)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

int main(int argc, char** argv) {
    return haojian::bench::RunWindowBenchmarks(argc, argv);
}
