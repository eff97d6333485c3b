// A complete query run of 1,000,000 numbers against a 300,000-line database, timed from Query
// to the end report, with this thread playing the UI thread.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <mutex>
#include <random>
#include <string>

#include "built_in_code_rows.h"
#include "code_table.h"
#include "collation.h"
#include "fixed_texts.h"
#include "line_list.h"
#include "number_lookup.h"
#include "query_run.h"
#include "result_table.h"
#include "segment_database.h"

namespace haojian {
namespace {

constexpr int kDatabaseLines = 300'000;
constexpr int kNumbers = 1'000'000;

class CountingView : public RunView {
public:
    void RowsAppended(std::size_t, std::size_t count) override {
        rows += count;
        ++hand_offs;
    }
    void RowsCleared() override { rows = 0; }
    void SetStatusText(int panel, std::string_view text) override {
        if (panel == kPanelStatus && text == text::kStatusComplete) complete = true;
    }
    void SetProgressMaximum(int) override {}
    void SetProgressPosition(int) override {}
    void SetCommandEnabled(Command, bool) override {}
    void FillProvinceBox(std::span<const std::string_view>) override {}
    void FillCityBox(std::span<const std::string_view>) override {}
    void SetTimerRunning(bool) override {}

    std::size_t rows = 0;
    std::size_t hand_offs = 0;
    bool complete = false;
};

class Waker : public UiWaker {
public:
    void Wake() override {
        {
            std::lock_guard lock(mutex_);
            ++wakes_;
        }
        woken_.notify_one();
    }
    void Wait() {
        std::unique_lock lock(mutex_);
        woken_.wait(lock, [&] { return wakes_ > consumed_; });
        ++consumed_;
    }

private:
    std::mutex mutex_;
    std::condition_variable woken_;
    std::uint64_t wakes_ = 0;
    std::uint64_t consumed_ = 0;
};

// Distinct seven-digit prefixes, each with a city code of the built-in table and a card digit.
std::string MakeDatabase() {
    std::string bytes;
    bytes.reserve(std::size_t(kDatabaseLines) * 14);
    for (int i = 0; i < kDatabaseLines; ++i) {
        bytes += std::to_string(1300000 + i);
        bytes += kBuiltInCityRows[std::size_t(i) % kBuiltInCityRows.size()].code;
        bytes += char('1' + i % 4);
        bytes += "\r\n";
    }
    return bytes;
}

// Numbers of the database's segments, one in ten of a segment it lacks.
std::string MakeNumberFile() {
    std::mt19937 rng(11);
    std::string path = "/tmp/haojian-run-bench-" + std::to_string(::getpid()) + ".txt";
    std::string bytes;
    bytes.reserve(std::size_t(kNumbers) * 13);
    for (int i = 0; i < kNumbers; ++i) {
        const int segment =
            rng() % 10 == 0 ? 1900000 + int(rng() % 90000) : 1300000 + int(rng() % kDatabaseLines);
        bytes += std::to_string(segment) + std::to_string(1000 + rng() % 9000) + "\r\n";
    }
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

// CPU time of the whole process, both threads, in seconds.
double ProcessCpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) {
        return double(t.tv_sec) + double(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void BM_CompleteRun(benchmark::State& state) {
    CountingView view;
    Waker waker;
    QueryRun run(view, waker);
    run.SetDatabase(SegmentDatabase::FromBytes(MakeDatabase()));
    const std::string path = MakeNumberFile();
    double cpu_seconds = 0;
    for (auto _ : state) {
        run.Import(path);
        view.complete = false;
        view.hand_offs = 0;
        const double cpu_start = ProcessCpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        run.Query();
        while (!view.complete) {
            waker.Wait();
            run.ProcessHandOff();
        }
        const auto end = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
        cpu_seconds += ProcessCpuSeconds() - cpu_start;
        while (run.WorkerAlive()) {
            waker.Wait();
            run.ProcessHandOff();
        }
    }
    std::remove(path.c_str());
    // Both threads' CPU time from Query to the end report: the run's cost on a busy machine.
    state.counters["run_cpu_ms"] = cpu_seconds * 1000 / double(state.iterations());
    state.counters["rows"] = double(run.Rows().size());
    state.counters["hand_offs"] = double(view.hand_offs);
    state.counters["bytes_per_row"] = double(run.RowOverheadBytes()) / double(run.Rows().size());
}
BENCHMARK(BM_CompleteRun)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// The same numbers resolved in one thread with no hand-offs: the floor under a run.
void BM_ResolveOnly(benchmark::State& state) {
    const SegmentDatabase database = SegmentDatabase::FromBytes(MakeDatabase());
    const std::string path = MakeNumberFile();
    std::ifstream in(path, std::ios::binary);
    const LineList numbers = LineList::FromBytes(
        std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
    std::remove(path.c_str());
    CodeTables tables;
    ReloadCodeTables(tables);
    for (auto _ : state) {
        for (std::size_t i = 0; i < numbers.size(); ++i) {
            benchmark::DoNotOptimize(
                ResolveNumber(numbers[i], database, tables, DefaultCollation()));
        }
    }
}
BENCHMARK(BM_ResolveOnly)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
}  // namespace haojian

BENCHMARK_MAIN();
