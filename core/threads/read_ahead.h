#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "core/threads/thread_start.h"

namespace haojian {

// Items made on a thread of their own while the caller works on the ones made before: the
// caller takes them a batch at a time, in the order made, and at most `batches` batches are
// ever held, so memory stays bounded however many items there are. Batches go back to the
// maker once taken, so their items (and whatever storage they own) are reused.
//
// fill(batch) is given a batch still holding the items of one already taken (none at first),
// for their storage to be reused: it leaves in it the items it made, in order, and returns
// false once none follows them. When fill throws, the items it leaves in the batch are taken
// first, then the failure reaches the caller from Next. Destroying a ReadAhead stops the maker
// after its current batch and waits for it.
template <class Item>
class ReadAhead {
public:
    using Fill = std::function<bool(std::vector<Item>& batch)>;

    // Throws ThreadStartError when no thread can be had.
    explicit ReadAhead(Fill fill, std::size_t batches = 3) : fill_(std::move(fill)) {
        for (std::size_t i = 0; i < std::max<std::size_t>(batches, 2); ++i) free_.emplace_back();
        maker_ = StartThread([this] { Make(); });
    }

    ~ReadAhead() {
        {
            std::lock_guard lock(mutex_);
            stopped_ = true;
        }
        changed_.notify_all();
        if (maker_.joinable()) maker_.join();
    }

    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    // The next batch, valid until the next call; null after the last. Rethrows fill's failure.
    std::vector<Item>* Next() {
        std::unique_lock lock(mutex_);
        if (taken_) {
            free_.push_back(std::move(*taken_));
            taken_.reset();
            changed_.notify_all();
        }
        changed_.wait(lock, [&] { return !made_.empty() || ended_; });
        if (made_.empty()) {
            if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
            return nullptr;
        }
        taken_.emplace(std::move(made_.front()));
        made_.pop_front();
        return &*taken_;
    }

private:
    void Make() {
        for (bool more = true; more;) {
            std::vector<Item> batch;
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [&] { return !free_.empty() || stopped_; });
                if (stopped_) break;
                batch = std::move(free_.front());
                free_.pop_front();
            }
            std::exception_ptr failure;
            try {
                more = fill_(batch);
            } catch (...) {
                failure = std::current_exception();
                more = false;
            }
            {
                std::lock_guard lock(mutex_);
                if (!batch.empty()) made_.push_back(std::move(batch));
                failure_ = failure;
            }
            changed_.notify_all();
        }
        {
            std::lock_guard lock(mutex_);
            ended_ = true;
        }
        changed_.notify_all();
    }

    Fill fill_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::vector<Item>> free_;  // for the maker to fill
    std::deque<std::vector<Item>> made_;  // for the caller, in order
    std::optional<std::vector<Item>> taken_;
    std::exception_ptr failure_;
    bool ended_ = false;
    bool stopped_ = false;
    std::jthread maker_;  // last: it stops before the members it uses go
};

}  // namespace haojian
