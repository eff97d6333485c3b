#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/database/segment_database.h"
#include "core/text/line_list.h"

namespace haojian {

class FileSystem;
class LocaleCollation;
class ResultTable;
FileSystem& RealFileSystem();
const LocaleCollation& DefaultCollation();

// The three commands whose states follow the run.
enum class Command { Import, Query, Stop };

// Idle: just opened. Running: a worker resolves entries. Paused: stopped with entries left.
// Complete: every entry resolved.
enum class RunState { Idle, Running, Paused, Complete };

// The status texts that the run writes; the window decides where each shows.
enum class RunStatus {
    NumberCount,  // how many entries the imported list holds
    Position,     // the position of the last entry resolved
    Message,      // what the run did: imported, querying, stopped, complete
};

// What the run changes in the window. Every call comes on the UI thread. The shell implements
// it with Qt widgets; tests use a fake.
class RunView {
public:
    virtual ~RunView() = default;
    // Rows [first, first + count) were appended to the run's ResultTable; show them and scroll
    // the last into view.
    virtual void RowsAppended(std::size_t first, std::size_t count) = 0;
    // The result table was emptied.
    virtual void RowsCleared() = 0;
    virtual void SetStatusText(RunStatus status, std::string_view gbk_text) = 0;
    virtual void SetProgressMaximum(int maximum) = 0;
    virtual void SetProgressPosition(int position) = 0;
    virtual void SetCommandEnabled(Command command, bool enabled) = 0;
    // Replaces the entries of the province or city box with entries (the wildcard first) and
    // selects the first.
    virtual void FillProvinceBox(std::span<const std::string_view> entries) = 0;
    virtual void FillCityBox(std::span<const std::string_view> entries) = 0;
    virtual void SetTimerRunning(bool running) = 0;
};

// Asks the UI thread to call QueryRun::ProcessHandOff() soon. Called on the worker thread:
// thread-safe and never blocking (the shell posts a queued call, a test fake records it).
class UiWaker {
public:
    virtual ~UiWaker() = default;
    virtual void Wake() = 0;
};

// How the worker hands its results over; the defaults are for the window. Tests use a batch
// limit and the entry hook to step the worker one entry at a time.
struct WorkerOptions {
    // The worker hands over what it resolved in about this long; the first hand-off of a run
    // comes sooner, so that rows appear at once.
    std::chrono::microseconds first_slice{1000};
    std::chrono::microseconds slice{10000};
    // At most this many entries per hand-off; 0 for no limit beyond the time slice.
    std::size_t max_batch = 0;
    // Called on the worker with an entry's 1-based position once it has been taken, before it
    // is resolved. It may block; if it throws, the worker fails on that entry as on an error in
    // the look-up.
    std::function<void(int position)> before_entry;
};

// The import and query run: NumberList, QueryCursor, StopRequested, the seen lists, the
// result rows, the three commands, the worker and the progress tick. Everything but the
// worker's own loop runs on the UI thread.
class QueryRun {
public:
    QueryRun(RunView& view, UiWaker& waker, FileSystem& fs = RealFileSystem(),
             const LocaleCollation& collation = DefaultCollation());
    // Stops and waits for a worker still alive, as Shutdown does, but drops its pending
    // hand-offs instead of running them: the view may already be gone.
    ~QueryRun();
    QueryRun(const QueryRun&) = delete;
    QueryRun& operator=(const QueryRun&) = delete;

    // Takes the loaded segment database and sets DatabaseLoaded.
    void SetDatabase(SegmentDatabase database);
    bool DatabaseLoaded() const;
    const SegmentDatabase& Database() const;

    // The commands. A refusal or a failure throws Error carrying the message for the error box.
    // Import lets the old list and rows go once the new file is open. Query throws
    // ThreadStartError when no worker thread can be started, leaving the commands as Stop does.
    void Import(const std::string& path);
    // Imports entries taken from elsewhere (a table's cells, cleaned lines) as Import does a
    // file's lines.
    void ImportList(LineList numbers);
    void Query();
    void Stop();
    // The one-second progress timer's tick.
    void TimerTick();

    // Runs the hand-off the worker is waiting on, if any. Called on the UI thread after
    // UiWaker::Wake.
    void ProcessHandOff();
    // Sets StopRequested and waits for a live worker to end, running its pending hand-offs
    // meanwhile, so that it never deadlocks. For closing the window.
    void Shutdown();

    // Takes effect from the next accepted Query; waits for a live worker first.
    void SetWorkerOptions(WorkerOptions options);

    RunState State() const;
    bool WorkerAlive() const;
    int QueryCursor() const;
    bool StopRequested() const;
    std::size_t NumberCount() const;
    std::string_view Number(std::size_t index) const;  // 0-based
    const ResultTable& Rows() const;
    // The rows there are now, for reading on another thread (an export) while the run goes on:
    // the rows appended later, an Import and a Query change nothing it reads. It must not
    // outlive the run.
    std::unique_ptr<ResultTable> RowsSnapshot() const;
    // Bytes held for the result rows and the number list's lines beyond the file's own bytes.
    std::size_t RowOverheadBytes() const;
    // The run's distinct texts in the comparison's order, the first inserted standing for its
    // equals.
    std::vector<std::string_view> SeenProvinces() const;
    std::vector<std::string_view> SeenCities() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace haojian
