// Merge against GNU sort on the same files in the same run: five files of 1,000,000
// eleven-digit numbers (about half repeated) against `LC_ALL=C sort -u`, and GBK name lines in
// mixed case against `sort -f -u`. Counters: sort_s (sort's seconds per run), sort_over_ours
// (how many times faster the merge is), rss_over_size (peak memory of `haojian-cli merge` on
// the same files over their total size).
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "bench/support/bench_data.h"
#include "core/files/file_system.h"
#include "core/merge/merge.h"
#include "tests/support/test_files.h"

namespace haojian {
namespace {

struct Sources {
    testing::TempDir dir;
    std::vector<std::string> paths;
    std::string joined;  // for the shell
    std::size_t bytes = 0;

    void Add(const std::string& name, const std::string& text) {
        paths.push_back(dir.Write(name, text));
        joined += " " + paths.back();
        bytes += text.size();
    }
};

void CompareWithSort(benchmark::State& state, const Sources& sources,
                     const std::string& sort_command) {
    const std::string out = sources.dir.path() + "merged.txt";
    const std::string sorted = sources.dir.path() + "sorted.txt";
    double ours = 0;
    double sort = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(MergeDataFiles(sources.paths, out));
        const double seconds = bench::SecondsSince(start);
        state.SetIterationTime(seconds);
        ours += seconds;
        sort += bench::TimeCommand(sort_command + " -o " + sorted + sources.joined);
    }
    const double runs = double(state.iterations());
    state.SetBytesProcessed(std::int64_t(sources.bytes) * state.iterations());
    state.counters["sort_s"] = sort / runs;
    state.counters["sort_over_ours"] = sort / ours;
    const std::size_t peak =
        bench::PeakMemory(ExecutableDirectory() + "haojian-cli merge -o " + out + sources.joined);
    if (peak != 0) state.counters["rss_over_size"] = double(peak) / double(sources.bytes);
}

void BM_MergeDigitLines(benchmark::State& state) {
    static const std::unique_ptr<Sources> sources = [] {
        auto s = std::make_unique<Sources>();
        for (unsigned i = 0; i < 5; ++i) {
            s->Add("digits" + std::to_string(i) + ".txt", bench::DigitLines(1000000, 2500000, i));
        }
        return s;
    }();
    CompareWithSort(state, *sources, "LC_ALL=C sort -u");
}

void BM_MergeNameLines(benchmark::State& state, const char* sort_command) {
    static const std::unique_ptr<Sources> sources = [] {
        auto s = std::make_unique<Sources>();
        for (unsigned i = 0; i < 2; ++i) {
            s->Add("names" + std::to_string(i) + ".txt", bench::NameLines(500000, i));
        }
        return s;
    }();
    CompareWithSort(state, *sources, sort_command);
}

BENCHMARK(BM_MergeDigitLines)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(BM_MergeNameLines, sort_f_u, "sort -f -u")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_MergeNameLines, c_sort_f_u, "LC_ALL=C sort -f -u")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace
}  // namespace haojian

BENCHMARK_MAIN();
