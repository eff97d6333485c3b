#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "window/window_seams.h"

namespace haojian {

// Runs one piece of long work (an export, a merge, building a copy's text) at a time on a
// thread of its own, so that the UI thread goes on repainting and taking input meanwhile. The
// window says how its UI thread is reached: the work's end is posted there and finished there.
class BackgroundThread final : public BackgroundWork {
public:
    // Called on the work's thread once the work has ended, or has posted a step (id 0): it must
    // have Finish(id) called on the UI thread (a queued call, a posted message). A call that
    // never comes, because the window went first, is harmless.
    using PostFinish = std::function<void(std::uint64_t id)>;
    // Called on the UI thread before the work starts (true) and after it has ended, before its
    // done runs (false).
    using BusyChanged = std::function<void(bool busy)>;

    explicit BackgroundThread(PostFinish post_finish, BusyChanged busy_changed = {});
    // Waits for work still running; its done is not run.
    ~BackgroundThread() override;
    BackgroundThread(const BackgroundThread&) = delete;
    BackgroundThread& operator=(const BackgroundThread&) = delete;

    bool Busy() const override { return busy_; }
    // Runs work on a new thread, then done on the UI thread with what the work threw (null when
    // it returned). Busy from now until done is called. When the system gives no thread, the
    // work runs here and now. Must not be called while Busy.
    void Start(std::function<void()> work, std::function<void(std::exception_ptr)> done) override;
    void Post(std::function<void()> step) override;
    // Runs the steps posted so far; then, when id is the running work's and it has ended, joins
    // its thread and runs its done. Any other id (a step's wake-up, a late or repeated post)
    // runs only the steps.
    void Finish(std::uint64_t id);

private:
    PostFinish post_finish_;
    BusyChanged busy_changed_;
    bool busy_ = false;
    std::uint64_t id_ = 0;
    std::jthread thread_;
    std::exception_ptr error_;
    std::function<void(std::exception_ptr)> done_;
    std::mutex steps_mutex_;
    std::vector<std::function<void()>> steps_;
};

}  // namespace haojian
