#pragma once

#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "query_run.h"

namespace haojian::testing {

// Records what the run shows, as the window would hold it.
class FakeRunView : public RunView {
public:
    void RowsAppended(std::size_t first, std::size_t count) override;
    void RowsCleared() override { shown_rows = 0; }
    void SetStatusText(int panel, std::string_view gbk_text) override;
    void SetProgressMaximum(int maximum) override { progress_maximum = maximum; }
    void SetProgressPosition(int position) override { progress_position = position; }
    void SetCommandEnabled(Command command, bool enabled) override;
    void FillProvinceBox(std::span<const std::string_view> entries) override;
    void FillCityBox(std::span<const std::string_view> entries) override;
    void SetTimerRunning(bool running) override { timer_running = running; }

    bool Enabled(Command command) const { return enabled.at(command); }
    std::string Panel(int number) const;

    std::size_t shown_rows = 0;
    bool rows_out_of_order = false;  // an append that did not continue the shown rows
    std::map<int, std::string> panels;
    std::vector<std::string> status_history;  // every text of the status panel, in order
    std::map<Command, bool> enabled{
        {Command::Import, true}, {Command::Query, true}, {Command::Stop, true}};
    int progress_maximum = 100;
    int progress_position = 0;
    bool timer_running = false;
    std::vector<std::string> province_box;
    std::vector<std::string> city_box;
    int box_fills = 0;
};

// Counts wakes; the test thread plays the UI thread and waits for them.
class FakeWaker : public UiWaker {
public:
    void Wake() override;
    // Waits for a wake not yet consumed and consumes it.
    void WaitForWake();
    // Waits until count wakes came in all; false when they do not come within seconds.
    bool WaitForWakes(std::uint64_t count, int seconds = 20);
    std::uint64_t Wakes() const;

private:
    mutable std::mutex mutex_;
    std::condition_variable woken_;
    std::uint64_t wakes_ = 0;
    std::uint64_t consumed_ = 0;
};

// Plays the UI thread until the run's worker has ended.
void PumpUntilWorkerEnds(QueryRun& run, FakeWaker& waker);

}  // namespace haojian::testing
