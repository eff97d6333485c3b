#include "win32/thread_work.h"

#include <utility>

#include "core/threads/thread_start.h"

namespace haojian::win32 {

ThreadWork::~ThreadWork() {
    if (thread_.joinable()) thread_.join();
}

void ThreadWork::Start(std::function<void()> work, std::function<void(std::exception_ptr)> done) {
    busy_ = true;
    const std::uint64_t id = ++id_;
    error_ = nullptr;
    done_ = std::move(done);
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
            PostMessageW(window_, kWorkDoneMessage, WPARAM(id), 0);
        });
    } catch (const ThreadStartError&) {
        // Without a thread the work is done here, the window held meanwhile, rather than not
        // at all.
        run();
        Finish(WPARAM(id));
    }
}

void ThreadWork::Post(std::function<void()> step) {
    {
        const std::lock_guard lock(steps_mutex_);
        steps_.push_back(std::move(step));
    }
    PostMessageW(window_, kWorkStepMessage, 0, 0);
}

void ThreadWork::RunSteps() {
    std::vector<std::function<void()>> steps;
    {
        const std::lock_guard lock(steps_mutex_);
        steps.swap(steps_);
    }
    for (const auto& step : steps) step();
}

void ThreadWork::Finish(WPARAM id) {
    if (!busy_ || id != WPARAM(id_)) return;
    RunSteps();
    if (thread_.joinable()) thread_.join();
    busy_ = false;
    const auto done = std::exchange(done_, nullptr);
    if (done) done(std::exchange(error_, nullptr));
}

}  // namespace haojian::win32
