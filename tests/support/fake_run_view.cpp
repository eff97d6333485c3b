#include "fake_run_view.h"

#include <chrono>

namespace haojian::testing {

void FakeRunView::RowsAppended(std::size_t first, std::size_t count) {
    if (first != shown_rows) rows_out_of_order = true;
    shown_rows = first + count;
}

void FakeRunView::SetStatusText(int panel, std::string_view gbk_text) {
    panels[panel] = std::string(gbk_text);
    if (panel == kPanelStatus) status_history.emplace_back(gbk_text);
}

void FakeRunView::SetCommandEnabled(Command command, bool on) {
    enabled[command] = on;
}

void FakeRunView::FillProvinceBox(std::span<const std::string_view> entries) {
    province_box.assign(entries.begin(), entries.end());
    ++box_fills;
}

void FakeRunView::FillCityBox(std::span<const std::string_view> entries) {
    city_box.assign(entries.begin(), entries.end());
}

std::string FakeRunView::Panel(int number) const {
    const auto found = panels.find(number);
    return found == panels.end() ? std::string() : found->second;
}

void FakeWaker::Wake() {
    {
        std::lock_guard lock(mutex_);
        ++wakes_;
    }
    woken_.notify_all();
}

void FakeWaker::WaitForWake() {
    std::unique_lock lock(mutex_);
    woken_.wait(lock, [&] { return wakes_ > consumed_; });
    ++consumed_;
}

bool FakeWaker::WaitForWakes(std::uint64_t count, int seconds) {
    std::unique_lock lock(mutex_);
    return woken_.wait_for(lock, std::chrono::seconds(seconds), [&] { return wakes_ >= count; });
}

std::uint64_t FakeWaker::Wakes() const {
    std::lock_guard lock(mutex_);
    return wakes_;
}

void PumpUntilWorkerEnds(QueryRun& run, FakeWaker& waker) {
    while (run.WorkerAlive()) {
        waker.WaitForWake();
        run.ProcessHandOff();
    }
    run.ProcessHandOff();  // releases the ended thread
}

}  // namespace haojian::testing
