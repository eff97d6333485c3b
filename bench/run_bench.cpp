// A complete query run of 1,000,000 numbers against a 300,000-line database, timed from Query
// to the end report, with this thread playing the UI thread.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>

#include "bench/support/generated_data.h"
#include "core/database/segment_database.h"
#include "core/run/query_run.h"
#include "core/run/result_table.h"
#include "core/text/fixed_texts.h"
#include "tests/support/test_files.h"

namespace haojian {
namespace {

constexpr std::size_t kDatabaseLines = 300000;
constexpr std::size_t kNumbers = 1000000;

class CountingView : public RunView {
public:
    void RowsAppended(std::size_t, std::size_t) override { ++hand_offs; }
    void RowsCleared() override {}
    void SetStatusText(RunStatus status, std::string_view text) override {
        if (status == RunStatus::Message && text == text::kStatusComplete) complete = true;
    }
    void SetProgressMaximum(int) override {}
    void SetProgressPosition(int) override {}
    void SetCommandEnabled(Command, bool) override {}
    void FillProvinceBox(std::span<const std::string_view>) override {}
    void FillCityBox(std::span<const std::string_view>) override {}
    void SetTimerRunning(bool) override {}

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
    const std::string database_bytes = bench::GenerateDatabaseBytes(kDatabaseLines, 1);
    const testing::TempDir dir;
    const std::string path =
        dir.Write("numbers.txt", bench::GenerateNumberBytes(database_bytes, kNumbers, 0.9, 2));
    CountingView view;
    Waker waker;
    QueryRun run(view, waker);
    run.SetDatabase(SegmentDatabase::FromBytes(database_bytes));
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
    // Both threads' CPU time from Query to the end report: the run's cost on a busy machine.
    state.counters["run_cpu_ms"] = cpu_seconds * 1000 / double(state.iterations());
    state.counters["rows"] = double(run.Rows().size());
    state.counters["hand_offs"] = double(view.hand_offs);
    state.counters["bytes_per_row"] = double(run.RowOverheadBytes()) / double(run.Rows().size());
}
BENCHMARK(BM_CompleteRun)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
}  // namespace haojian

BENCHMARK_MAIN();
