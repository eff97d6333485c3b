// `haojian-cli lookup` of 1,000,000 numbers end to end: process start, loading a database of
// 300,000 lines, looking up and writing every line.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/support/bench_data.h"
#include "bench/support/generated_data.h"
#include "core/files/file_system.h"
#include "tests/support/test_files.h"

namespace haojian {
namespace {

void BM_LookupCli(benchmark::State& state) {
    const testing::TempDir dir;
    const std::string segments = bench::GenerateDatabaseBytes(300000, 7);
    const std::string db = dir.Write("segments.dat", segments);
    const std::string list =
        dir.Write("numbers.txt", bench::GenerateNumberBytes(segments, 1000000, 0.9, 8));
    const std::string command =
        ExecutableDirectory() + "haojian-cli lookup --db " + db + " " + list + " >/dev/null";
    for (auto _ : state) {
        const double seconds = bench::TimeCommand(command);
        if (seconds < 0) state.SkipWithError("haojian-cli failed");
        state.SetIterationTime(seconds);
    }
    state.SetItemsProcessed(1000000 * state.iterations());
}

BENCHMARK(BM_LookupCli)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
}  // namespace haojian

BENCHMARK_MAIN();
