#include "core/threads/parallel_crew.h"

#include <algorithm>

#include "core/threads/thread_start.h"

namespace haojian {

ParallelCrew::ParallelCrew(std::size_t threads) : threads_(std::max<std::size_t>(threads, 1)) {}

ParallelCrew::~ParallelCrew() {
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    changed_.notify_all();
    helpers_.clear();
}

void ParallelCrew::Do(std::size_t index) {
    try {
        (*work_)(index);
    } catch (...) {
        errors_[index] = std::current_exception();
    }
}

void ParallelCrew::Help(std::size_t index) {
    std::size_t seen = 0;
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [&] { return quit_ || round_ != seen; });
        if (quit_) return;
        seen = round_;
        if (index >= count_) continue;
        lock.unlock();
        Do(index);
        lock.lock();
        if (--remaining_ == 0) changed_.notify_all();
    }
}

void ParallelCrew::Run(std::size_t count, const std::function<void(std::size_t)>& work) {
    count = std::min(count, threads_);
    if (count == 0) return;
    if (count > 1 && !helpers_tried_) {
        helpers_tried_ = true;
        for (std::size_t i = 1; i < threads_; ++i) {
            try {
                helpers_.push_back(StartThread([this, i] { Help(i); }));
            } catch (const ThreadStartError&) {
                break;  // the calling thread does the shares of the helpers not started
            }
        }
    }
    const std::size_t helped = std::min(count, helpers_.size() + 1);
    {
        std::lock_guard lock(mutex_);
        work_ = &work;
        count_ = helped;
        remaining_ = helped - 1;
        errors_.assign(count, nullptr);
        ++round_;
    }
    changed_.notify_all();
    Do(0);
    for (std::size_t i = helped; i < count; ++i) Do(i);
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return remaining_ == 0; });
        work_ = nullptr;
    }
    for (const std::exception_ptr& error : errors_) {
        if (error) std::rethrow_exception(error);
    }
}

}  // namespace haojian
