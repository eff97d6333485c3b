#pragma once

#include <condition_variable>
#include <mutex>

namespace haojian {

// Where a worker leaves one piece of work for the UI thread and waits until the UI thread has
// done it. The worker blocks in Deliver; the UI thread takes the piece, applies it and calls
// Done. The mutex hand-over orders everything the UI thread wrote while applying before
// whatever the worker reads once Deliver returns.
//
// The UI thread may have to wait for the worker itself (to start another, or to close): it then
// uses WaitForWork, which returns each delivered piece as well, so that it can be applied or
// dropped and the worker is never left blocked while the UI thread waits for it.
template <class Work>
class HandOffMailbox {
public:
    // For a new worker: nothing pending, not ended.
    void Reset() {
        std::lock_guard lock(mutex_);
        pending_ = nullptr;
        taken_ = false;
        ended_ = false;
    }

    // Worker: leaves work, calls wake() (outside the lock) and waits until Done.
    template <class Wake>
    void Deliver(Work& work, Wake&& wake) {
        {
            std::lock_guard lock(mutex_);
            pending_ = &work;
        }
        changed_.notify_all();
        wake();
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return pending_ == nullptr; });
    }

    // Worker: its last step.
    void MarkEnded() {
        {
            std::lock_guard lock(mutex_);
            ended_ = true;
        }
        changed_.notify_all();
    }

    // UI thread: the pending work, or null. The worker stays blocked until Done.
    Work* Take() {
        std::lock_guard lock(mutex_);
        if (pending_ == nullptr || taken_) return nullptr;
        taken_ = true;
        return pending_;
    }

    // UI thread: waits until work is pending (returns it, as Take does) or the worker has ended
    // (returns null).
    Work* WaitForWork() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return (pending_ != nullptr && !taken_) || ended_; });
        if (pending_ == nullptr || taken_) return nullptr;
        taken_ = true;
        return pending_;
    }

    // UI thread: the taken work is done; releases the worker.
    void Done() {
        {
            std::lock_guard lock(mutex_);
            pending_ = nullptr;
            taken_ = false;
        }
        changed_.notify_all();
    }

    bool Ended() const {
        std::lock_guard lock(mutex_);
        return ended_;
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    Work* pending_ = nullptr;
    bool taken_ = false;
    bool ended_ = false;
};

}  // namespace haojian
