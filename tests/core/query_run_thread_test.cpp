// The run with its worker thread: Stop and resume, hand-offs pending while the UI thread waits,
// failures in the worker, and random command sequences against a model of the run's states.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "collation.h"
#include "error.h"
#include "fake_run_view.h"
#include "fixed_texts.h"
#include "line_list.h"
#include "query_run.h"
#include "result_table.h"
#include "run_test_data.h"
#include "test_files.h"

namespace haojian {
namespace {

using testing::ExpectedRow;
using testing::RowTexts;

std::vector<RowTexts> RowsOf(const QueryRun& run) {
    std::vector<RowTexts> rows;
    for (std::size_t i = 0; i < run.Rows().size(); ++i) {
        const ResultRowView r = run.Rows().Row(i);
        rows.push_back({std::string(r.number), std::string(r.province), std::string(r.city),
                        std::string(r.card_type)});
    }
    return rows;
}

// Holds the worker after it has taken an entry, until the test lets it resolve that entry or
// makes it fail there.
class Gate {
public:
    void Enter(int position) {
        std::unique_lock lock(mutex_);
        arrivals_.push_back(position);
        changed_.notify_all();
        changed_.wait(lock, [&] { return permits_ > 0 || open_; });
        if (open_) return;
        --permits_;
        if (fail_) {
            fail_ = false;
            throw std::runtime_error("look-up failed");
        }
    }
    void Release(bool fail = false) {
        {
            std::lock_guard lock(mutex_);
            ++permits_;
            fail_ = fail;
        }
        changed_.notify_all();
    }
    void OpenForGood() {
        {
            std::lock_guard lock(mutex_);
            open_ = true;
        }
        changed_.notify_all();
    }
    bool WaitForArrivals(std::size_t count) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(20),
                                 [&] { return arrivals_.size() >= count; });
    }
    std::vector<int> Arrivals() const {
        std::lock_guard lock(mutex_);
        return arrivals_;
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<int> arrivals_;
    int permits_ = 0;
    bool fail_ = false;
    bool open_ = false;
};

// A run whose worker hands over one entry at a time and waits at the gate before each.
class SteppedRun : public ::testing::Test {
protected:
    SteppedRun() {
        run.SetDatabase(testing::SmallDatabase());
        WorkerOptions options;
        options.max_batch = 1;
        options.before_entry = [this](int position) { gate.Enter(position); };
        run.SetWorkerOptions(std::move(options));
    }
    ~SteppedRun() override { gate.OpenForGood(); }

    void Import(const std::vector<std::string>& numbers) {
        std::string bytes;
        for (const std::string& n : numbers) bytes += n + "\n";
        run.Import(dir.Write("list.txt", bytes));
    }
    // The worker has taken its next entry; gives the entry's position.
    int AwaitTaken() {
        EXPECT_TRUE(gate.WaitForArrivals(++arrivals_));
        return gate.Arrivals().back();
    }
    // The worker's next hand-off (a row, its end report, or its end), run by the UI thread.
    void AwaitHandOffAndRun() {
        EXPECT_TRUE(waker.WaitForWakes(++wakes_));
        run.ProcessHandOff();
    }
    // The worker's last wake, once it has ended.
    void AwaitEnd() {
        AwaitHandOffAndRun();
        EXPECT_FALSE(run.WorkerAlive());
    }
    void ResolveNext() {
        AwaitTaken();
        gate.Release();
        AwaitHandOffAndRun();
    }
    std::vector<RowTexts> Expected(const std::vector<std::string>& numbers) const {
        std::vector<RowTexts> rows;
        for (const std::string& n : numbers) rows.push_back(ExpectedRow(run.Database(), n));
        return rows;
    }

    testing::TempDir dir;
    Gate gate;
    testing::FakeRunView view;
    testing::FakeWaker waker;
    std::size_t arrivals_ = 0;
    std::uint64_t wakes_ = 0;
    QueryRun run{view, waker};
};

const std::string kNanjing = "\xC4\xCF\xBE\xA9";
const std::string kChongqing = "\xD6\xD8\xC7\xEC";
const std::string kGuangzhou = "\xB9\xE3\xD6\xDD";

TEST_F(SteppedRun, StopThenQueryContinuesWithTheFirstEntryNotResolved) {
    const std::vector<std::string> numbers = {"13800001234", "13900005678", "13911110000",
                                              "13933334444", "13800009999"};
    Import(numbers);
    run.Query();
    ResolveNext();
    ResolveNext();
    EXPECT_EQ(AwaitTaken(), 3);
    run.Stop();
    EXPECT_EQ(run.State(), RunState::Paused);
    EXPECT_TRUE(view.Enabled(Command::Query) && view.Enabled(Command::Import));
    EXPECT_FALSE(view.Enabled(Command::Stop));
    // The entry in hand is still resolved and shown, then the end report finds entries left.
    gate.Release();
    AwaitHandOffAndRun();
    AwaitHandOffAndRun();
    AwaitEnd();
    EXPECT_EQ(run.QueryCursor(), 4);
    EXPECT_EQ(view.status_history,
              (std::vector<std::string>{
                  std::string(text::kStatusImported), std::string(text::kStatusQuerying),
                  std::string(text::kStatusStopped), std::string(text::kStatusStopped)}));
    run.TimerTick();
    EXPECT_TRUE(view.timer_running);
    EXPECT_EQ(view.box_fills, 0);

    run.Query();
    EXPECT_EQ(view.Panel(kPanelProgress), "3");
    ResolveNext();
    ResolveNext();
    AwaitHandOffAndRun();
    EXPECT_EQ(gate.Arrivals(), (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(RowsOf(run), Expected(numbers));
    EXPECT_EQ(view.Panel(kPanelStatus), text::kStatusComplete);
    // The boxes hold only what was resolved since the last Query.
    run.TimerTick();
    std::vector<std::string> cities = {kNanjing, kGuangzhou};
    std::sort(cities.begin(), cities.end(),
              [](const auto& a, const auto& b) { return DefaultCollation().Less(a, b); });
    cities.insert(cities.begin(), std::string(text::kAnyCity));
    EXPECT_EQ(view.city_box, cities);
}

TEST_F(SteppedRun, StopOnTheLastEntryStillCompletesTheRun) {
    Import({"13800001234", "13900005678"});
    run.Query();
    ResolveNext();
    AwaitTaken();
    run.Stop();
    EXPECT_EQ(view.Panel(kPanelStatus), text::kStatusStopped);
    gate.Release();
    AwaitHandOffAndRun();
    AwaitHandOffAndRun();
    EXPECT_EQ(view.Panel(kPanelStatus), text::kStatusComplete);
    EXPECT_EQ(run.State(), RunState::Complete);
    for (Command c : {Command::Import, Command::Query, Command::Stop}) EXPECT_TRUE(view.Enabled(c));
    run.TimerTick();
    EXPECT_EQ(view.box_fills, 1);
    EXPECT_FALSE(view.timer_running);
}

TEST_F(SteppedRun, StopTakesEffectBeforeTheNextEntryOfABatch) {
    WorkerOptions options;
    options.max_batch = 4;
    options.before_entry = [this](int position) { gate.Enter(position); };
    run.SetWorkerOptions(std::move(options));
    Import({"13800001234", "13900005678", "13911110000", "13933334444"});
    run.Query();
    AwaitTaken();
    gate.Release();
    AwaitTaken();
    run.Stop();
    gate.Release();
    AwaitHandOffAndRun();
    AwaitHandOffAndRun();
    AwaitEnd();
    EXPECT_EQ(gate.Arrivals(), (std::vector<int>{1, 2}));
    EXPECT_EQ(RowsOf(run), Expected({"13800001234", "13900005678"}));
    EXPECT_EQ(view.Panel(kPanelProgress), "2");
}

TEST_F(SteppedRun, StopWithOneEntryLeftNeedsAnotherQuery) {
    Import({"13800001234", "13900005678", "13933334444"});
    run.Query();
    ResolveNext();
    AwaitTaken();
    run.Stop();
    gate.Release();
    AwaitHandOffAndRun();
    AwaitHandOffAndRun();
    AwaitEnd();
    EXPECT_EQ(view.Panel(kPanelStatus), text::kStatusStopped);
    EXPECT_EQ(run.State(), RunState::Paused);
    run.TimerTick();
    EXPECT_EQ(view.progress_position, 2);
    EXPECT_EQ(view.box_fills, 0);

    run.Query();
    ResolveNext();
    AwaitHandOffAndRun();
    EXPECT_EQ(run.State(), RunState::Complete);
    run.TimerTick();
    EXPECT_EQ(view.province_box,
              (std::vector<std::string>{std::string(text::kAnyProvince), "\xB9\xE3\xB6\xAB"}));
}

TEST_F(SteppedRun, ImportBetweenEndReportAndTickKeepsTheBoxesForALaterRun) {
    Import({"13800001234"});
    run.Query();
    ResolveNext();
    AwaitHandOffAndRun();  // the end report: complete
    AwaitEnd();
    Import({"13900005678"});
    run.TimerTick();
    EXPECT_EQ(view.box_fills, 0);
    EXPECT_TRUE(view.timer_running);
    run.Query();
    ResolveNext();
    AwaitHandOffAndRun();
    run.TimerTick();
    EXPECT_EQ(view.province_box,
              (std::vector<std::string>{std::string(text::kAnyProvince), kChongqing}));
}

TEST_F(SteppedRun, QueryAfterStopWaitsForTheOldWorkerAndItsPendingHandOff) {
    Import({"13800001234", "13900005678", "13911110000", "13933334444"});
    run.Query();
    ResolveNext();
    AwaitTaken();
    run.Stop();
    gate.Release();
    // The UI thread does not run the hand-off itself: Query runs it while it waits.
    run.Query();
    EXPECT_EQ(RowsOf(run), Expected({"13800001234", "13900005678"}));
    EXPECT_EQ(run.QueryCursor(), 3);
    EXPECT_EQ(run.State(), RunState::Running);
    arrivals_ = 2;
    EXPECT_EQ(AwaitTaken(), 3);
    wakes_ = waker.Wakes();
    run.Stop();
    gate.Release();
    // Import too.
    Import({"13800009999"});
    EXPECT_EQ(run.Rows().size(), 0u);
    EXPECT_EQ(run.QueryCursor(), 1);
    EXPECT_FALSE(run.WorkerAlive());
    EXPECT_EQ(gate.Arrivals(), (std::vector<int>{1, 2, 3}));
}

TEST_F(SteppedRun, AnErrorInTheWorkerLeavesTheCursorOnItsEntry) {
    Import({"13800001234", "13900005678", "13933334444"});
    run.Query();
    ResolveNext();
    EXPECT_EQ(AwaitTaken(), 2);
    gate.Release(/*fail=*/true);
    AwaitEnd();  // with no end report
    EXPECT_EQ(run.Rows().size(), 1u);
    EXPECT_EQ(run.QueryCursor(), 2);
    EXPECT_EQ(view.Panel(kPanelStatus), text::kStatusQuerying);
    EXPECT_EQ(run.State(), RunState::Running);
    run.Query();  // disabled: ignored
    EXPECT_EQ(run.State(), RunState::Running);

    run.Stop();
    run.Query();
    EXPECT_EQ(AwaitTaken(), 2);
    gate.Release();
    AwaitHandOffAndRun();
    ResolveNext();
    AwaitHandOffAndRun();
    EXPECT_EQ(RowsOf(run), Expected({"13800001234", "13900005678", "13933334444"}));
}

TEST_F(SteppedRun, ShutdownRunsAPendingHandOffAndTheDestructorDropsOne) {
    Import({"13800001234", "13900005678"});
    run.Query();
    AwaitTaken();
    gate.Release();
    EXPECT_TRUE(waker.WaitForWakes(1));  // a hand-off waits, and nobody runs it
    run.Shutdown();
    EXPECT_FALSE(run.WorkerAlive());
    EXPECT_EQ(run.Rows().size(), 1u);
    EXPECT_EQ(view.Panel(kPanelStatus), text::kStatusStopped);

    testing::FakeRunView other_view;
    {
        QueryRun other(other_view, waker);
        other.SetDatabase(testing::SmallDatabase());
        other.Import(dir.Write("other.txt", "13800001234\n"));
        other.Query();
        PumpUntilWorkerEnds(other, waker);
        other.Import(dir.Write("other.txt", "13800001234\n13900005678\n"));
        other.Query();
        // Destroyed while its worker may be waiting on a hand-off.
    }
    EXPECT_LE(other_view.shown_rows, 2u);
}

// What the run should show after each command, tick and step of the worker: a model of the
// state table, with the worker's place (holding an entry, a hand-off pending, ended).
class ModelledRun : public SteppedRun {
protected:
    enum class Worker { None, InHand, Pending, PendingEnd, Ended };

    struct Model {
        std::vector<std::string> numbers;
        int cursor = 0;
        bool stop = false;
        std::size_t run_size = 0;
        std::vector<RowTexts> rows;
        std::vector<std::string> provinces, cities;  // distinct, in insertion order
        std::map<int, std::string> panels;
        std::map<Command, bool> enabled{
            {Command::Import, true}, {Command::Query, true}, {Command::Stop, true}};
        bool timer = false;
        int maximum = 100, position = 0;
        std::vector<std::string> province_box, city_box;
        RunState state = RunState::Idle;
        Worker worker = Worker::None;
    };

    static void InsertSeen(std::vector<std::string>& seen, const std::string& text) {
        for (const std::string& s : seen) {
            if (DefaultCollation().Equal(s, text)) return;
        }
        seen.push_back(text);
    }
    static std::vector<std::string> Sorted(std::vector<std::string> texts) {
        std::stable_sort(texts.begin(), texts.end(), [](const auto& a, const auto& b) {
            return DefaultCollation().Less(a, b);
        });
        return texts;
    }

    // The worker goes on after the UI thread has run one of its rows.
    void WorkerContinues() {
        if (m.stop || std::size_t(m.cursor) > m.run_size) {
            m.worker = Worker::PendingEnd;
            ++wakes_;
        } else {
            m.worker = Worker::InHand;
            ++arrivals_;
        }
    }
    void ModelRunsHandOff() {
        if (m.worker == Worker::Pending) {
            const RowTexts row = expected.at(m.numbers[std::size_t(m.cursor - 1)]);
            m.rows.push_back(row);
            InsertSeen(m.provinces, row.province);
            InsertSeen(m.cities, row.city);
            m.panels[kPanelProgress] = std::to_string(m.cursor);
            ++m.cursor;
            WorkerContinues();
        } else if (m.worker == Worker::PendingEnd) {
            if (std::size_t(m.cursor) <= m.run_size) {
                m.panels[kPanelStatus] = std::string(text::kStatusStopped);
            } else {
                m.panels[kPanelStatus] = std::string(text::kStatusComplete);
                for (auto& [command, on] : m.enabled) on = true;
                m.state = RunState::Complete;
            }
            m.worker = Worker::Ended;
            ++wakes_;
        }
    }
    // Import and Query wait for a worker that is still alive after Stop.
    void ModelWaitsForWorker() {
        if (m.worker == Worker::InHand) {
            gate.Release();
            m.worker = Worker::Pending;
            ++wakes_;
        }
        while (m.worker == Worker::Pending || m.worker == Worker::PendingEnd) ModelRunsHandOff();
        m.worker = Worker::None;
    }

    void DoImport(const std::string& path, const std::vector<std::string>* lines) {
        if (!m.enabled[Command::Import]) {
            run.Import(path);
            return;
        }
        ModelWaitsForWorker();
        m.numbers.clear();
        if (lines == nullptr) {
            EXPECT_THROW(run.Import(path), Error);
            return;
        }
        run.Import(path);
        m.numbers = *lines;
        m.panels[kPanelNumberCount] = std::to_string(m.numbers.size());
        m.rows.clear();
        m.cursor = 1;
        m.position = 0;
        m.panels[kPanelStatus] = std::string(text::kStatusImported);
    }
    void DoQuery() {
        if (!m.enabled[Command::Query]) {
            run.Query();
            return;
        }
        ModelWaitsForWorker();
        std::string refusal;
        try {
            run.Query();
        } catch (const Error& e) {
            refusal = std::string(e.message());
        }
        if (m.numbers.empty()) {
            EXPECT_EQ(refusal, text::kRefuseNoList);
            return;
        }
        if (std::size_t(m.cursor) > m.numbers.size()) {
            EXPECT_EQ(refusal, text::kRefuseImportAgain);
            return;
        }
        EXPECT_EQ(refusal, "");
        m.maximum = int(m.numbers.size());
        m.position = 0;
        m.enabled = {{Command::Import, false}, {Command::Query, false}, {Command::Stop, true}};
        m.panels[kPanelStatus] = std::string(text::kStatusQuerying);
        m.stop = false;
        m.provinces.clear();
        m.cities.clear();
        m.timer = true;
        m.state = RunState::Running;
        m.run_size = m.numbers.size();
        m.worker = Worker::InHand;
        ++arrivals_;
    }
    void DoStop() {
        run.Stop();
        if (m.enabled[Command::Import]) return;
        m.stop = true;
        m.panels[kPanelStatus] = std::string(text::kStatusStopped);
        m.enabled = {{Command::Import, true}, {Command::Query, true}, {Command::Stop, false}};
        m.state = RunState::Paused;
    }
    void DoTick() {
        run.TimerTick();
        if (!m.timer) return;
        m.position = std::clamp(m.cursor - 1, 0, m.maximum);
        if (m.position != m.maximum) return;
        m.timer = false;
        m.province_box = Sorted(m.provinces);
        m.province_box.insert(m.province_box.begin(), std::string(text::kAnyProvince));
        m.city_box = Sorted(m.cities);
        m.city_box.insert(m.city_box.begin(), std::string(text::kAnyCity));
    }
    // Lets the worker resolve (or fail on) the entry it holds, or runs its pending hand-off.
    void DoStep(bool fail) {
        if (m.worker == Worker::InHand) {
            gate.Release(fail);
            m.worker = fail ? Worker::Ended : Worker::Pending;
            ++wakes_;
        } else {
            run.ProcessHandOff();
            ModelRunsHandOff();
        }
    }

    // Waits until the worker has done what the model says, then compares everything.
    void Check(int step) {
        SCOPED_TRACE("step " + std::to_string(step));
        ASSERT_TRUE(gate.WaitForArrivals(arrivals_));
        ASSERT_TRUE(waker.WaitForWakes(wakes_));
        ASSERT_EQ(gate.Arrivals().size(), arrivals_);
        ASSERT_EQ(waker.Wakes(), wakes_);
        if (m.worker == Worker::InHand) {
            ASSERT_EQ(gate.Arrivals().back(), m.cursor);
        }
        const bool alive = m.worker == Worker::InHand || m.worker == Worker::Pending ||
                           m.worker == Worker::PendingEnd;
        ASSERT_EQ(run.WorkerAlive(), alive);
        ASSERT_EQ(run.QueryCursor(), m.cursor);
        ASSERT_EQ(run.NumberCount(), m.numbers.size());
        ASSERT_EQ(RowsOf(run), m.rows);
        ASSERT_EQ(view.shown_rows, m.rows.size());
        ASSERT_FALSE(view.rows_out_of_order);
        for (int panel : {kPanelNumberCount, kPanelProgress, kPanelStatus}) {
            ASSERT_EQ(view.Panel(panel), m.panels[panel]) << "panel " << panel;
        }
        ASSERT_EQ(view.enabled, m.enabled);
        ASSERT_EQ(view.timer_running, m.timer);
        ASSERT_EQ(view.progress_maximum, m.maximum);
        ASSERT_EQ(view.progress_position, m.position);
        ASSERT_EQ(view.province_box, m.province_box);
        ASSERT_EQ(view.city_box, m.city_box);
        const auto strings = [](const std::vector<std::string_view>& views) {
            return std::vector<std::string>(views.begin(), views.end());
        };
        ASSERT_EQ(strings(run.SeenProvinces()), Sorted(m.provinces));
        ASSERT_EQ(strings(run.SeenCities()), Sorted(m.cities));
        ASSERT_EQ(run.State(), m.state);
        ASSERT_EQ(run.StopRequested(), m.stop);
    }

    Model m;
    std::map<std::string, RowTexts> expected;
};

TEST_F(ModelledRun, RandomCommandSequencesFollowTheStateTable) {
    for (const std::string& n : testing::kSampleNumbers)
        expected[n] = ExpectedRow(run.Database(), n);
    std::mt19937 rng(20240611);
    const auto pick = [&](std::size_t n) { return std::size_t(rng() % n); };
    for (int session = 0; session < 6; ++session) {
        // Lists of 0 to 6 entries with mixed line ends; the model reads them with the line rule.
        std::vector<std::string> paths;
        std::vector<std::vector<std::string>> lists;
        for (int f = 0; f < 3; ++f) {
            std::string bytes;
            for (std::size_t i = pick(7); i > 0; --i) {
                bytes += testing::kSampleNumbers[pick(testing::kSampleNumbers.size())];
                bytes += std::vector<std::string>{"\n", "\r\n", "\r"}[pick(3)];
            }
            const LineList lines = LineList::FromBytes(bytes);
            lists.emplace_back();
            for (std::size_t i = 0; i < lines.size(); ++i) lists.back().emplace_back(lines[i]);
            paths.push_back(dir.Write("list" + std::to_string(session * 3 + f) + ".txt", bytes));
        }
        for (int step = 0; step < 250; ++step) {
            const std::size_t roll = pick(100);
            if (roll < 8) {
                const std::size_t f = pick(3);
                DoImport(paths[f], &lists[f]);
            } else if (roll < 10) {
                DoImport(dir.path() + "missing.txt", nullptr);
            } else if (roll < 25) {
                DoQuery();
            } else if (roll < 35) {
                DoStop();
            } else if (roll < 47) {
                DoTick();
            } else if (roll < 50) {
                // A wake that may find nothing to do: the worker holds an entry or has ended.
                run.ProcessHandOff();
                ModelRunsHandOff();
            } else if (m.worker == Worker::InHand || m.worker == Worker::Pending ||
                       m.worker == Worker::PendingEnd) {
                DoStep(m.worker == Worker::InHand && roll < 53);
            }
            Check(step);
            if (HasFatalFailure()) return;
        }
    }
}

TEST(QueryRunThreads, TimeSlicedHandOffsShowEveryEntryOnceInOrder) {
    testing::TempDir dir;
    testing::FakeRunView view;
    testing::FakeWaker waker;
    QueryRun run(view, waker);
    run.SetDatabase(testing::SmallDatabase());
    WorkerOptions options;
    options.first_slice = std::chrono::microseconds(50);
    options.slice = std::chrono::microseconds(200);
    // Fails late, so that the failing entry lies inside a batch.
    options.before_entry = [](int position) {
        if (position == 4500) throw std::runtime_error("look-up failed");
    };
    run.SetWorkerOptions(options);
    std::string bytes;
    std::vector<std::string> numbers;
    for (int i = 0; i < 5000; ++i) {
        numbers.push_back(testing::kSampleNumbers[std::size_t(i * 7 % 10)]);
        bytes += numbers.back() + "\r\n";
    }
    run.Import(dir.Write("list.txt", bytes));
    run.Query();
    PumpUntilWorkerEnds(run, waker);
    EXPECT_EQ(run.QueryCursor(), 4500);
    EXPECT_EQ(view.Panel(kPanelProgress), "4499");
    ASSERT_EQ(run.Rows().size(), 4499u);
    EXPECT_FALSE(view.rows_out_of_order);
    EXPECT_EQ(view.shown_rows, 4499u);

    run.Stop();
    options.before_entry = nullptr;
    run.SetWorkerOptions(options);
    run.Query();
    PumpUntilWorkerEnds(run, waker);
    const std::vector<RowTexts> rows = RowsOf(run);
    ASSERT_EQ(rows.size(), numbers.size());
    std::map<std::string, RowTexts> expected;
    for (const std::string& n : testing::kSampleNumbers) {
        expected[n] = ExpectedRow(run.Database(), n);
    }
    for (std::size_t i = 0; i < rows.size(); ++i) ASSERT_EQ(rows[i], expected[numbers[i]]) << i;
    EXPECT_EQ(view.Panel(kPanelStatus), text::kStatusComplete);
}

}  // namespace
}  // namespace haojian
