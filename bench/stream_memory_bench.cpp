// Peak memory of `haojian-cli lookup -`, `export` and `stats` with 1,000,000 to 50,000,000
// numbers coming through a pipe: read and answered a piece at a time, it stays flat.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/support/bench_data.h"
#include "bench/support/generated_data.h"
#include "core/files/file_system.h"
#include "tests/support/test_files.h"

namespace haojian {
namespace {

void Stream(benchmark::State& state, const std::string& command_tail) {
    const testing::TempDir dir;
    const std::string segments = bench::GenerateDatabaseBytes(300000, 7);
    const std::string db = dir.Write("segments.dat", segments);
    // A million numbers, sent state.range(0) times.
    const std::string list =
        dir.Write("numbers.txt", bench::GenerateNumberBytes(segments, 1000000, 0.9, 8));
    const auto millions = state.range(0);
    const std::string command = "i=0; while [ $i -lt " + std::to_string(millions) + " ]; do cat " +
                                list + "; i=$((i+1)); done | " + ExecutableDirectory() +
                                "haojian-cli " + command_tail + " --db " + db + " -";
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const std::size_t peak = bench::PeakMemory(command);
        state.SetIterationTime(bench::SecondsSince(start));
        if (peak == 0) state.SkipWithError("haojian-cli failed, or no /usr/bin/time");
        state.counters["peak_MB"] = double(peak) / (1 << 20);
    }
    state.counters["input_MB"] = double(millions) * double(1000000 * 13) / (1 << 20);
    state.SetItemsProcessed(millions * 1000000 * state.iterations());
}

void BM_LookupStream(benchmark::State& state) {
    Stream(state, "lookup");
}
void BM_ExportStream(benchmark::State& state) {
    Stream(state, "export -q -o /dev/null --layout 手机号码+省份+卡类");
}
void BM_StatsStream(benchmark::State& state) {
    Stream(state, "stats --by city");
}

void Sizes(benchmark::internal::Benchmark* b) {
    b->Arg(1)->Arg(10)->Arg(50)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);
}

BENCHMARK(BM_LookupStream)->Apply(Sizes);
BENCHMARK(BM_ExportStream)->Apply(Sizes);
BENCHMARK(BM_StatsStream)->Apply(Sizes);

}  // namespace
}  // namespace haojian

BENCHMARK_MAIN();
