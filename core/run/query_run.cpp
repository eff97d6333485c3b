#include "core/run/query_run.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <thread>

#include "core/base/error.h"
#include "core/collation/collation.h"
#include "core/files/file_system.h"
#include "core/lookup/code_table.h"
#include "core/lookup/number_lookup.h"
#include "core/run/compact_result_table.h"
#include "core/run/number_list.h"
#include "core/run/seen_texts.h"
#include "core/run/text_pool.h"
#include "core/text/fixed_texts.h"
#include "core/threads/hand_off_mailbox.h"
#include "core/threads/thread_priority.h"
#include "core/threads/thread_start.h"

namespace haojian {
namespace {

// The three texts of one resolved entry, as views into the database, the code tables or the
// fixed texts, which stay unchanged while the worker lives.
struct ResolvedEntry {
    std::string_view province;
    std::string_view city;
    std::string_view card_type;
};

// What the worker hands to the UI thread: the entries resolved from QueryCursor on, or the
// run's end report.
struct HandOff {
    std::vector<ResolvedEntry> entries;
    bool end_report = false;
    std::size_t run_size = 0;  // entries in NumberList when the run started
};

// How often the worker looks at the clock, in entries.
constexpr std::size_t kClockEvery = 64;

}  // namespace

struct QueryRun::Impl {
    Impl(RunView& v, UiWaker& w, FileSystem& f, const LocaleCollation& c)
        : view(v), waker(w), fs(f), collation(c), provinces(c), cities(c) {}

    // UI thread.
    void SetEnabled(Command command, bool enabled);
    void SetProgressPosition(int position);
    void WaitForWorker(bool apply);
    void ApplyTaken(HandOff& hand_off);
    void ApplyEntries(const HandOff& hand_off);
    void ApplyEndReport(std::size_t run_size);
    void StartWorker();
    // The new NumberList in place: its count, the emptied rows, the cursor and the status.
    void Imported();

    // Worker thread.
    void RunLoop(std::size_t run_size);
    bool ResolveSlice(const NumberResolver& resolve, std::int64_t& position, std::size_t run_size,
                      std::chrono::microseconds slice, HandOff& hand_off);

    RunView& view;
    UiWaker& waker;
    FileSystem& fs;
    const LocaleCollation& collation;

    SegmentDatabase database;
    bool database_loaded = false;
    CodeTables tables;

    std::shared_ptr<const LineList> numbers = std::make_shared<const LineList>();
    int cursor = 0;
    std::atomic<bool> stop_requested{false};

    TextPool pool;
    TextIdCache ids{pool};
    SeenTexts provinces;
    SeenTexts cities;
    CompactResultTable table{pool};

    // The window as the run left it.
    std::array<bool, 3> enabled{true, true, true};
    bool timer_running = false;
    int progress_maximum = 100;
    int progress_position = 0;
    RunState state = RunState::Idle;

    WorkerOptions options;
    HandOffMailbox<HandOff> mailbox;
    std::jthread worker;
    bool applying = false;
};

void QueryRun::Impl::SetEnabled(Command command, bool on) {
    enabled[std::size_t(command)] = on;
    view.SetCommandEnabled(command, on);
}

void QueryRun::Impl::SetProgressPosition(int position) {
    progress_position = std::clamp(position, 0, progress_maximum);
    view.SetProgressPosition(progress_position);
}

// Waits for the worker to end, running (or, when apply is false, dropping) each hand-off it
// makes meanwhile, then releases the thread.
void QueryRun::Impl::WaitForWorker(bool apply) {
    if (!worker.joinable()) return;
    while (HandOff* hand_off = mailbox.WaitForWork()) {
        if (apply) {
            ApplyTaken(*hand_off);
        } else {
            mailbox.Done();
        }
    }
    worker.join();
}

// Applies a hand-off taken from the mailbox and releases the worker, even if the view throws:
// otherwise the worker would wait for ever.
void QueryRun::Impl::ApplyTaken(HandOff& hand_off) {
    struct Release {
        Impl& impl;
        ~Release() {
            impl.applying = false;
            impl.mailbox.Done();
        }
    } release{*this};
    applying = true;
    if (hand_off.end_report) {
        ApplyEndReport(hand_off.run_size);
    } else {
        ApplyEntries(hand_off);
    }
}

void QueryRun::Impl::ApplyEntries(const HandOff& hand_off) {
    const std::size_t first = table.size();
    for (const ResolvedEntry& entry : hand_off.entries) {
        const std::uint32_t province = ids.Id(entry.province);
        const std::uint32_t city = ids.Id(entry.city);
        table.Append(province, city, ids.Id(entry.card_type));
        provinces.Insert(province, pool.Text(province));
        cities.Insert(city, pool.Text(city));
    }
    const int count = int(hand_off.entries.size());
    view.RowsAppended(first, std::size_t(count));
    view.SetStatusText(RunStatus::Position, std::to_string(cursor + count - 1));
    cursor += count;
}

void QueryRun::Impl::ApplyEndReport(std::size_t run_size) {
    if (std::size_t(cursor) <= run_size) {
        // Stopped with entries left: the buttons stay as Stop set them.
        view.SetStatusText(RunStatus::Message, text::kStatusStopped);
        return;
    }
    view.SetStatusText(RunStatus::Message, text::kStatusComplete);
    SetEnabled(Command::Query, true);
    SetEnabled(Command::Stop, true);
    SetEnabled(Command::Import, true);
    state = RunState::Complete;
}

void QueryRun::Impl::StartWorker() {
    mailbox.Reset();
    const std::size_t run_size = numbers->size();
    try {
        worker = StartThread([this, run_size] {
            try {
                RunLoop(run_size);
            } catch (...) {
                // Whatever fails outside an entry's look-up ends the worker as an error in it
                // does: silently, never through std::terminate.
                mailbox.MarkEnded();
            }
        });
    } catch (const ThreadStartError&) {
        // No run without a worker: the commands as a Stop leaves them, and the reason said.
        stop_requested.store(true);
        view.SetStatusText(RunStatus::Message, text::kStatusStopped);
        SetEnabled(Command::Query, true);
        SetEnabled(Command::Stop, false);
        SetEnabled(Command::Import, true);
        state = RunState::Paused;
        throw;
    }
}

void QueryRun::Impl::RunLoop(std::size_t run_size) {
    LowerCurrentThreadPriority();
    const auto wake = [this] { waker.Wake(); };
    // The database and the code tables stay as they are while the worker lives.
    const NumberResolver resolve(database, tables, collation);
    HandOff hand_off;
    hand_off.run_size = run_size;
    // QueryCursor is read here and after each completed hand-off, when the UI thread has moved
    // it and is not touching it.
    std::int64_t position = cursor;
    std::chrono::microseconds slice = options.first_slice;
    for (;;) {
        hand_off.entries.clear();
        const bool failed = ResolveSlice(resolve, position, run_size, slice, hand_off);
        if (!hand_off.entries.empty()) {
            mailbox.Deliver(hand_off, wake);
            position = cursor;
        } else if (!failed) {
            hand_off.end_report = true;
            mailbox.Deliver(hand_off, wake);
            break;
        }
        // An error ends the worker silently: no row and no end report for the failed entry,
        // and QueryCursor stays on it.
        if (failed) break;
        slice = options.slice;
    }
    mailbox.MarkEnded();
    waker.Wake();
}

// Resolves entries from position on until the slice is used up, StopRequested is set or the
// list ends. True when resolving an entry failed; the entries before it are in hand_off.
bool QueryRun::Impl::ResolveSlice(const NumberResolver& resolve, std::int64_t& position,
                                  std::size_t run_size, std::chrono::microseconds slice,
                                  HandOff& hand_off) {
    const auto deadline = std::chrono::steady_clock::now() + slice;
    const LineList& list = *numbers;
    try {
        while (!stop_requested.load() && position <= std::int64_t(run_size)) {
            if (options.before_entry) options.before_entry(int(position));
            const LookupResult result = resolve(list[std::size_t(position - 1)]);
            hand_off.entries.push_back({result.province, result.city, result.card_type});
            ++position;
            const std::size_t count = hand_off.entries.size();
            if (options.max_batch != 0 && count >= options.max_batch) break;
            if (count % kClockEvery == 0 && std::chrono::steady_clock::now() >= deadline) break;
        }
    } catch (...) {
        return true;
    }
    return false;
}

QueryRun::QueryRun(RunView& view, UiWaker& waker, FileSystem& fs, const LocaleCollation& collation)
    : impl_(std::make_unique<Impl>(view, waker, fs, collation)) {}

QueryRun::~QueryRun() {
    impl_->stop_requested.store(true);
    impl_->WaitForWorker(false);
}

void QueryRun::SetDatabase(SegmentDatabase database) {
    impl_->WaitForWorker(true);
    impl_->database = std::move(database);
    impl_->database_loaded = true;
}

bool QueryRun::DatabaseLoaded() const {
    return impl_->database_loaded;
}

const SegmentDatabase& QueryRun::Database() const {
    return impl_->database;
}

void QueryRun::Import(const std::string& path) {
    Impl& r = *impl_;
    if (!r.enabled[std::size_t(Command::Import)]) return;
    // After a Stop the old worker may still finish its entry; NumberList must not change under
    // it.
    r.WaitForWorker(true);
    r.numbers = std::make_shared<const LineList>();
    // The old list and its rows go once the new file is open, before it is read, so that the
    // two are never held at once; a file that cannot be opened leaves the rows as they were.
    const auto release = [&r] {
        r.table.Reset(r.numbers);
        r.view.RowsCleared();
    };
    r.numbers = std::make_shared<const LineList>(ReadNumberList(r.fs, path, release));
    r.Imported();
}

void QueryRun::ImportList(LineList numbers) {
    Impl& r = *impl_;
    if (!r.enabled[std::size_t(Command::Import)]) return;
    r.WaitForWorker(true);
    r.numbers = std::make_shared<const LineList>(std::move(numbers));
    r.table.Reset(r.numbers);
    r.view.RowsCleared();
    r.Imported();
}

void QueryRun::Impl::Imported() {
    Impl& r = *this;
    r.view.SetStatusText(RunStatus::NumberCount, std::to_string(r.numbers->size()));
    r.table.Reset(r.numbers);
    r.cursor = 1;
    r.SetProgressPosition(0);
    r.view.SetStatusText(RunStatus::Message, text::kStatusImported);
}

void QueryRun::Query() {
    Impl& r = *impl_;
    if (!r.enabled[std::size_t(Command::Query)]) return;
    // One worker at a time, and its end report first: it may complete the run.
    r.WaitForWorker(true);
    if (!r.database_loaded) throw Error(std::string(text::kRefuseNoDatabase));
    if (r.numbers->empty()) throw Error(std::string(text::kRefuseNoList));
    if (std::size_t(r.cursor) > r.numbers->size())
        throw Error(std::string(text::kRefuseImportAgain));

    r.progress_maximum = int(r.numbers->size());
    r.view.SetProgressMaximum(r.progress_maximum);
    r.SetProgressPosition(0);
    r.SetEnabled(Command::Query, false);
    r.SetEnabled(Command::Stop, true);
    r.SetEnabled(Command::Import, false);
    r.view.SetStatusText(RunStatus::Message, text::kStatusQuerying);
    r.stop_requested.store(false);
    r.provinces.Clear();
    r.cities.Clear();
    ReloadCodeTables(r.tables);
    // Address keys hold only while the texts they saw stay where they are; start each run afresh.
    r.ids.Clear();
    r.table.ReserveAll();
    if (!r.timer_running) {
        r.timer_running = true;
        r.view.SetTimerRunning(true);
    }
    r.state = RunState::Running;
    r.StartWorker();
}

void QueryRun::Stop() {
    Impl& r = *impl_;
    if (r.enabled[std::size_t(Command::Import)]) return;  // no run in progress
    r.stop_requested.store(true);
    r.view.SetStatusText(RunStatus::Message, text::kStatusStopped);
    r.SetEnabled(Command::Query, true);
    r.SetEnabled(Command::Stop, false);
    r.SetEnabled(Command::Import, true);
    r.state = RunState::Paused;
}

void QueryRun::TimerTick() {
    Impl& r = *impl_;
    if (!r.timer_running) return;
    r.SetProgressPosition(r.cursor - 1);
    if (r.progress_position != r.progress_maximum) return;
    // Every entry is resolved and its row is in the table.
    r.timer_running = false;
    r.view.SetTimerRunning(false);
    const auto fill = [](std::string_view wildcard, const SeenTexts& seen) {
        std::vector<std::string_view> entries;
        entries.reserve(seen.Texts().size() + 1);
        entries.push_back(wildcard);
        entries.insert(entries.end(), seen.Texts().begin(), seen.Texts().end());
        return entries;
    };
    r.view.FillProvinceBox(fill(text::kAnyProvince, r.provinces));
    r.view.FillCityBox(fill(text::kAnyCity, r.cities));
}

void QueryRun::ProcessHandOff() {
    Impl& r = *impl_;
    if (r.applying || !r.worker.joinable()) return;
    if (HandOff* hand_off = r.mailbox.Take()) {
        r.ApplyTaken(*hand_off);
    } else if (r.mailbox.Ended()) {
        r.worker.join();  // it has returned or is about to
    }
}

void QueryRun::Shutdown() {
    impl_->stop_requested.store(true);
    impl_->WaitForWorker(true);
}

void QueryRun::SetWorkerOptions(WorkerOptions options) {
    impl_->WaitForWorker(true);
    impl_->options = std::move(options);
}

RunState QueryRun::State() const {
    return impl_->state;
}

bool QueryRun::WorkerAlive() const {
    return impl_->worker.joinable() && !impl_->mailbox.Ended();
}

int QueryRun::QueryCursor() const {
    return impl_->cursor;
}

bool QueryRun::StopRequested() const {
    return impl_->stop_requested.load();
}

std::size_t QueryRun::NumberCount() const {
    return impl_->numbers->size();
}

std::string_view QueryRun::Number(std::size_t index) const {
    return (*impl_->numbers)[index];
}

const ResultTable& QueryRun::Rows() const {
    return impl_->table;
}

std::unique_ptr<ResultTable> QueryRun::RowsSnapshot() const {
    return impl_->table.Snapshot();
}

std::size_t QueryRun::RowOverheadBytes() const {
    return impl_->table.OverheadBytes();
}

std::vector<std::string_view> QueryRun::SeenProvinces() const {
    return impl_->provinces.Texts();
}

std::vector<std::string_view> QueryRun::SeenCities() const {
    return impl_->cities.Texts();
}

}  // namespace haojian
