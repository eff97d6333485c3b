#pragma once

#include <QObject>
#include <cstdint>
#include <exception>
#include <functional>
#include <thread>

#include "window/window_seams.h"

namespace haojian {

// Runs one piece of long work (an export, a merge) on a thread of its own, so that the UI
// thread goes on repainting and taking input meanwhile. The work's end is reported back on the
// UI thread. One piece at a time.
class BackgroundTask : public QObject, public BackgroundWork {
    Q_OBJECT
public:
    explicit BackgroundTask(QObject* parent = nullptr);
    // Waits for work still running; its done is not run.
    ~BackgroundTask() override;
    BackgroundTask(const BackgroundTask&) = delete;
    BackgroundTask& operator=(const BackgroundTask&) = delete;

    bool Busy() const override { return busy_; }

    // Runs work on a new thread, then done on the UI thread with what the work threw (null when
    // it returned). Busy from now until done is called. When the system gives no thread, the
    // work runs here and now. Must not be called while Busy.
    void Start(std::function<void()> work, std::function<void(std::exception_ptr)> done) override;
    void Post(std::function<void()> step) override;
    // Blocks until the work in progress has ended and runs its done; nothing when not Busy.
    void Wait();

signals:
    // Before the work starts (true), and after it has ended, before its done runs (false).
    void BusyChanged(bool busy);

private:
    void Finish(std::uint64_t id);

    bool busy_ = false;
    std::uint64_t id_ = 0;
    std::jthread thread_;
    std::exception_ptr error_;
    std::function<void(std::exception_ptr)> done_;
};

}  // namespace haojian
