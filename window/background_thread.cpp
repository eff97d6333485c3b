#include "window/background_thread.h"

#include <utility>

#include "core/threads/thread_start.h"

namespace haojian {

BackgroundThread::BackgroundThread(PostFinish post_finish, BusyChanged busy_changed)
    : post_finish_(std::move(post_finish)), busy_changed_(std::move(busy_changed)) {}

BackgroundThread::~BackgroundThread() {
    if (thread_.joinable()) thread_.join();
}

void BackgroundThread::Start(std::function<void()> work,
                             std::function<void(std::exception_ptr)> done) {
    busy_ = true;
    const std::uint64_t id = ++id_;
    error_ = nullptr;
    done_ = std::move(done);
    if (busy_changed_) busy_changed_(true);
    const auto run = [this, work = std::move(work)] {
        try {
            work();
        } catch (...) {
            error_ = std::current_exception();
        }
    };
    try {
        thread_ = StartThread([this, id, run] {
            run();
            post_finish_(id);
        });
    } catch (const ThreadStartError&) {
        // Without a thread the work is done here, the window held meanwhile, rather than not
        // at all.
        run();
        Finish(id);
    }
}

void BackgroundThread::Post(std::function<void()> step) {
    {
        const std::lock_guard lock(steps_mutex_);
        steps_.push_back(std::move(step));
    }
    post_finish_(0);
}

void BackgroundThread::Finish(std::uint64_t id) {
    std::vector<std::function<void()>> steps;
    {
        const std::lock_guard lock(steps_mutex_);
        steps.swap(steps_);
    }
    for (const auto& step : steps) step();
    if (!busy_ || id != id_) return;
    if (thread_.joinable()) thread_.join();
    busy_ = false;
    if (busy_changed_) busy_changed_(false);
    const auto done = std::exchange(done_, nullptr);
    if (done) done(std::exchange(error_, nullptr));
}

}  // namespace haojian
