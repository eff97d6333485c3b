#pragma once

#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "core/run/query_run.h"

namespace haojian::testing {

// Records what the run shows, as the window would hold it.
class FakeRunView : public RunView {
public:
    void RowsAppended(std::size_t first, std::size_t count) override;
    void RowsCleared() override { shown_rows = 0; }
    void SetStatusText(RunStatus status, std::string_view text) override { panels[status] = text; }
    void SetProgressMaximum(int maximum) override { progress_maximum = maximum; }
    void SetProgressPosition(int position) override { progress_position = position; }
    void SetCommandEnabled(Command command, bool on) override { enabled[command] = on; }
    void FillProvinceBox(std::span<const std::string_view> entries) override {
        province_box.assign(entries.begin(), entries.end());
    }
    void FillCityBox(std::span<const std::string_view> entries) override {
        city_box.assign(entries.begin(), entries.end());
    }
    void SetTimerRunning(bool running) override { timer_running = running; }

    std::size_t shown_rows = 0;
    bool rows_out_of_order = false;  // an append that did not continue the shown rows
    std::map<RunStatus, std::string> panels;
    std::map<Command, bool> enabled{
        {Command::Import, true}, {Command::Query, true}, {Command::Stop, true}};
    int progress_maximum = 100;
    int progress_position = 0;
    bool timer_running = false;
    std::vector<std::string> province_box, city_box;
};

// Counts wakes; the test thread plays the UI thread and waits for them.
class FakeWaker : public UiWaker {
public:
    void Wake() override;
    // Waits until count wakes came in all; false when they do not come within 20 s.
    bool WaitForWakes(std::uint64_t count);
    std::uint64_t Wakes() const;

private:
    mutable std::mutex mutex_;
    std::condition_variable woken_;
    std::uint64_t wakes_ = 0;
};

// Plays the UI thread until the run's worker has ended.
void PumpUntilWorkerEnds(QueryRun& run, FakeWaker& waker);

// A few database lines: Nanjing, two codes that both name Chongqing, a line whose codes are in
// no table and whose card byte names no carrier, and a line without a card byte.
SegmentDatabase SmallDatabase();

// Numbers of every kind of line above, of no line, an empty entry and one with a blank.
extern const std::vector<std::string> kSampleNumbers;

// The four texts of a row.
struct RowTexts {
    std::string number, province, city, card_type;
    bool operator==(const RowTexts&) const = default;
};
RowTexts ExpectedRow(const SegmentDatabase& database, std::string_view number);
std::vector<RowTexts> RowsOf(const QueryRun& run);

}  // namespace haojian::testing
