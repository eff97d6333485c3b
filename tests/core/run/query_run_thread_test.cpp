// The run with its worker thread, against a model of the state table: random sequences of
// Import, Query, Stop, ticks, hand-offs, worker failures and shutdowns.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <random>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "core/base/error.h"
#include "core/collation/collation.h"
#include "core/run/query_run.h"
#include "core/text/fixed_texts.h"
#include "core/text/line_list.h"
#include "tests/support/run_fakes.h"
#include "tests/support/test_files.h"

namespace haojian {
namespace {

using testing::RowTexts;

// Holds the worker after it has taken an entry, until the test lets it resolve the entry or
// makes it fail there.
class Gate {
public:
    void Enter(int position) {
        std::unique_lock lock(mutex_);
        arrivals_.push_back(position);
        changed_.notify_all();
        // A worker held far longer than any step takes went where the test did not expect:
        // let it go, so that the test fails instead of waiting for ever.
        if (!changed_.wait_for(lock, std::chrono::seconds(20),
                               [&] { return permits_ > 0 || open_; })) {
            stuck_ = true;
        }
        if (open_ || stuck_) return;
        --permits_;
        if (std::exchange(fail_, false)) throw std::runtime_error("look-up failed");
    }
    void Release(bool fail) {
        std::lock_guard lock(mutex_);
        ++permits_;
        fail_ = fail;
        changed_.notify_all();
    }
    void OpenForGood() {
        std::lock_guard lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }
    // The positions taken so far, once there are count of them (fewer after 20 s).
    std::vector<int> Arrivals(std::size_t count) {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, std::chrono::seconds(20),
                          [&] { return arrivals_.size() >= count; });
        return arrivals_;
    }
    bool Stuck() {
        std::lock_guard lock(mutex_);
        return stuck_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<int> arrivals_;
    int permits_ = 0;
    bool fail_ = false;
    bool open_ = false;
    bool stuck_ = false;
};

std::vector<std::string> Sorted(std::vector<std::string> texts) {
    std::stable_sort(texts.begin(), texts.end(),
                     [](const auto& a, const auto& b) { return DefaultCollation().Less(a, b); });
    return texts;
}

// The worker hands over at most max_batch entries at a time and waits at the gate before each,
// so that the test knows at every step where it is: holding an entry (with `batch` resolved
// before it), with a hand-off of `batch` entries or of its end report pending, or ended.
class ModelledRun : public ::testing::Test {
protected:
    enum class Worker { None, InHand, Pending, PendingEnd, Ended };

    ModelledRun() { run.SetDatabase(testing::SmallDatabase()); }
    ~ModelledRun() override { gate.OpenForGood(); }

    // Ends a run in progress first: the options wait for the worker.
    void StartSession(std::size_t max_batch) {
        Stop();
        ModelWaitsForWorker();
        WorkerOptions options;
        options.first_slice = options.slice = std::chrono::hours(1);
        options.max_batch = max_batch;
        options.before_entry = [this](int position) { gate.Enter(position); };
        run.SetWorkerOptions(std::move(options));
        max_batch_ = max_batch;
    }

    static void InsertSeen(std::vector<std::string>& seen, const std::string& text) {
        for (const std::string& s : seen) {
            if (DefaultCollation().Equal(s, text)) return;
        }
        seen.push_back(text);
    }
    // The worker goes on after a hand-off of entries: to its next entry or to its end report.
    void WorkerGoesOn() {
        const bool more = !stop_ && std::size_t(cursor_) <= run_size_;
        worker_ = more ? Worker::InHand : Worker::PendingEnd;
        ++(more ? arrivals_ : wakes_);
    }
    void LetWorkerResolve(bool fail) {
        gate.Release(fail);
        if (!fail) ++batch_;
        failing_ = fail;
        if (fail && batch_ == 0) {
            worker_ = Worker::Ended;
            ++wakes_;
        } else if (fail || std::size_t(batch_) == max_batch_ || stop_ ||
                   std::size_t(cursor_ + batch_) > run_size_) {
            worker_ = Worker::Pending;
            ++wakes_;
        } else {
            ++arrivals_;
        }
    }
    void ModelRunsHandOff() {
        if (worker_ == Worker::Pending) {
            for (; batch_ > 0; --batch_) {
                const RowTexts& row = expected_.at(numbers_[std::size_t(cursor_ - 1)]);
                rows_.push_back(row);
                InsertSeen(provinces_, row.province);
                InsertSeen(cities_, row.city);
                panels_[RunStatus::Position] = std::to_string(cursor_++);
            }
            if (!failing_) return WorkerGoesOn();
            worker_ = Worker::Ended;  // ends without an end report
            ++wakes_;
        } else if (worker_ == Worker::PendingEnd) {
            if (std::size_t(cursor_) <= run_size_) {
                panels_[RunStatus::Message] = text::kStatusStopped;
            } else {
                panels_[RunStatus::Message] = text::kStatusComplete;
                enabled_ = {{Command::Import, true}, {Command::Query, true}, {Command::Stop, true}};
                state_ = RunState::Complete;
            }
            worker_ = Worker::Ended;
            ++wakes_;
        }
    }
    // A live worker is waited for, its entry in hand resolved and its hand-offs run.
    void ModelWaitsForWorker() {
        if (worker_ == Worker::InHand) LetWorkerResolve(false);
        while (worker_ == Worker::Pending || worker_ == Worker::PendingEnd) ModelRunsHandOff();
        worker_ = Worker::None;
    }

    void Import(const std::string& path, const std::vector<std::string>* lines) {
        if (!enabled_[Command::Import]) return run.Import(path);  // ignored
        ModelWaitsForWorker();
        numbers_.clear();
        if (lines == nullptr) {
            EXPECT_THROW(run.Import(path), FileError);
            return;
        }
        run.Import(path);
        numbers_ = *lines;
        panels_[RunStatus::NumberCount] = std::to_string(numbers_.size());
        rows_.clear();
        cursor_ = 1;
        position_ = 0;
        panels_[RunStatus::Message] = text::kStatusImported;
    }
    void Query() {
        if (!enabled_[Command::Query]) return run.Query();  // ignored
        ModelWaitsForWorker();
        std::string refusal;
        try {
            run.Query();
        } catch (const Error& e) {
            refusal = e.message();
        }
        if (numbers_.empty() || std::size_t(cursor_) > numbers_.size()) {
            EXPECT_EQ(refusal, numbers_.empty() ? text::kRefuseNoList : text::kRefuseImportAgain);
            return;
        }
        ASSERT_EQ(refusal, "");
        maximum_ = int(numbers_.size());
        position_ = 0;
        enabled_ = {{Command::Import, false}, {Command::Query, false}, {Command::Stop, true}};
        panels_[RunStatus::Message] = text::kStatusQuerying;
        stop_ = false;
        provinces_.clear();
        cities_.clear();
        timer_ = true;
        state_ = RunState::Running;
        run_size_ = numbers_.size();
        WorkerGoesOn();
    }
    void Stop() {
        run.Stop();
        if (enabled_[Command::Import]) return;
        stop_ = true;
        panels_[RunStatus::Message] = text::kStatusStopped;
        enabled_ = {{Command::Import, true}, {Command::Query, true}, {Command::Stop, false}};
        state_ = RunState::Paused;
    }
    void Tick() {
        run.TimerTick();
        if (!timer_) return;
        position_ = std::clamp(cursor_ - 1, 0, maximum_);
        if (position_ != maximum_) return;
        timer_ = false;
        province_box_ = Sorted(provinces_);
        province_box_.insert(province_box_.begin(), std::string(text::kAnyProvince));
        city_box_ = Sorted(cities_);
        city_box_.insert(city_box_.begin(), std::string(text::kAnyCity));
    }
    // Not while the worker holds an entry at the gate: Shutdown would wait for it for ever.
    void Shutdown() {
        run.Shutdown();
        stop_ = true;
        ModelWaitsForWorker();
    }

    // Waits until the worker has done what the model says, then compares everything.
    void Check() {
        ASSERT_FALSE(gate.Stuck());
        const std::vector<int> arrivals = gate.Arrivals(arrivals_);
        ASSERT_TRUE(waker.WaitForWakes(wakes_));
        ASSERT_EQ(arrivals.size(), arrivals_);
        ASSERT_EQ(waker.Wakes(), wakes_);
        if (worker_ == Worker::InHand) {
            ASSERT_EQ(arrivals.back(), cursor_ + batch_);
        }
        const bool alive = worker_ == Worker::InHand || worker_ == Worker::Pending ||
                           worker_ == Worker::PendingEnd;
        ASSERT_EQ(run.WorkerAlive(), alive);
        ASSERT_EQ(run.State(), state_);
        ASSERT_EQ(run.StopRequested(), stop_);
        ASSERT_EQ(run.QueryCursor(), cursor_);
        ASSERT_EQ(run.NumberCount(), numbers_.size());
        ASSERT_EQ(testing::RowsOf(run), rows_);
        ASSERT_EQ(view.shown_rows, rows_.size());
        ASSERT_FALSE(view.rows_out_of_order);
        ASSERT_EQ(view.panels, panels_);
        ASSERT_EQ(view.enabled, enabled_);
        ASSERT_EQ(view.timer_running, timer_);
        ASSERT_EQ(view.progress_maximum, maximum_);
        ASSERT_EQ(view.progress_position, position_);
        ASSERT_EQ(view.province_box, province_box_);
        ASSERT_EQ(view.city_box, city_box_);
        const auto strings = [](const std::vector<std::string_view>& views) {
            return std::vector<std::string>(views.begin(), views.end());
        };
        ASSERT_EQ(strings(run.SeenProvinces()), Sorted(provinces_));
        ASSERT_EQ(strings(run.SeenCities()), Sorted(cities_));
    }

    testing::TempDir dir;
    Gate gate;
    testing::FakeRunView view;
    testing::FakeWaker waker;
    QueryRun run{view, waker};

    std::map<std::string, RowTexts> expected_;
    std::size_t max_batch_ = 1;
    std::size_t arrivals_ = 0;
    std::uint64_t wakes_ = 0;
    Worker worker_ = Worker::None;
    int batch_ = 0;
    bool failing_ = false;
    std::size_t run_size_ = 0;
    // The run and the window as they should be.
    std::vector<std::string> numbers_;
    int cursor_ = 0;
    bool stop_ = false;
    std::vector<RowTexts> rows_;
    std::vector<std::string> provinces_, cities_;  // distinct, in insertion order
    std::map<RunStatus, std::string> panels_;
    std::map<Command, bool> enabled_{
        {Command::Import, true}, {Command::Query, true}, {Command::Stop, true}};
    bool timer_ = false;
    int maximum_ = 100, position_ = 0;
    std::vector<std::string> province_box_, city_box_;
    RunState state_ = RunState::Idle;
};

TEST_F(ModelledRun, RandomSequencesFollowTheStateTable) {
    for (const std::string& n : testing::kSampleNumbers) {
        expected_[n] = testing::ExpectedRow(run.Database(), n);
    }
    std::mt19937 rng(20240611);
    const auto pick = [&](std::size_t n) { return std::size_t(rng() % n); };
    for (int session = 0; session < 8; ++session) {
        StartSession(1 + pick(3));
        // Lists of 0 to 8 entries with mixed line ends, read by the model with the line rule.
        std::vector<std::string> paths;
        std::vector<std::vector<std::string>> lists(3);
        for (auto& list : lists) {
            std::string bytes;
            for (std::size_t i = pick(9); i > 0; --i) {
                bytes += testing::kSampleNumbers[pick(testing::kSampleNumbers.size())];
                bytes += std::vector<std::string>{"\n", "\r\n", "\r"}[pick(3)];
            }
            const LineList lines = LineList::FromBytes(bytes);
            for (std::size_t i = 0; i < lines.size(); ++i) list.emplace_back(lines[i]);
            paths.push_back(dir.Write("list" + std::to_string(paths.size()) + ".txt", bytes));
        }
        for (int step = 0; step < 200; ++step) {
            SCOPED_TRACE("session " + std::to_string(session) + " step " + std::to_string(step));
            const std::size_t roll = pick(100);
            if (roll < 8) {
                const std::size_t f = pick(3);
                Import(paths[f], &lists[f]);
            } else if (roll < 10) {
                Import(dir.path() + "missing.txt", nullptr);
            } else if (roll < 24) {
                Query();
            } else if (roll < 33) {
                Stop();
            } else if (roll < 43) {
                Tick();
            } else if (roll < 44 && worker_ != Worker::InHand) {
                Shutdown();
            } else if (worker_ == Worker::InHand) {
                LetWorkerResolve(/*fail=*/roll < 47);
            } else {
                // Runs the pending hand-off, or finds nothing to do (a late or stray wake).
                run.ProcessHandOff();
                ModelRunsHandOff();
            }
            Check();
            if (HasFatalFailure()) return;
        }
    }
}

// With real time slices the hand-offs come in batches of any size; every entry is still shown
// once, in order.
TEST(QueryRunThreads, TimeSlicedHandOffsShowEveryEntryOnceInOrder) {
    testing::TempDir dir;
    testing::FakeRunView view;
    testing::FakeWaker waker;
    QueryRun run(view, waker);
    run.SetDatabase(testing::SmallDatabase());
    WorkerOptions options;
    options.first_slice = std::chrono::microseconds(20);
    options.slice = std::chrono::microseconds(200);
    run.SetWorkerOptions(options);
    std::string bytes;
    std::vector<std::string> numbers;
    for (std::size_t i = 0; i < 5000; ++i) {
        numbers.push_back(testing::kSampleNumbers[i * 7 % testing::kSampleNumbers.size()]);
        bytes += numbers.back() + "\r\n";
    }
    run.Import(dir.Write("list.txt", bytes));
    run.Query();
    testing::PumpUntilWorkerEnds(run, waker);
    const std::vector<RowTexts> rows = testing::RowsOf(run);
    ASSERT_EQ(rows.size(), numbers.size());
    for (std::size_t i = 0; i < 10; ++i) {
        const RowTexts expected = testing::ExpectedRow(run.Database(), numbers[i]);
        for (std::size_t row = i; row < rows.size(); row += 10) ASSERT_EQ(rows[row], expected);
    }
    EXPECT_FALSE(view.rows_out_of_order);
    EXPECT_EQ(view.panels[RunStatus::Position], "5000");
    EXPECT_EQ(view.panels[RunStatus::Message], text::kStatusComplete);
}

}  // namespace
}  // namespace haojian
