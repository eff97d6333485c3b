#include "core/threads/ordered_chunks.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

#include "core/text/line_list.h"
#include "core/threads/thread_start.h"

namespace haojian {
namespace {

// Chunks claimed by the threads in turn, each formatted into a slot of a ring, and written in
// order by the calling thread, which formats chunks too while the next one to write is not
// ready. A chunk is claimed only while its slot is free, so at most `slots` are ahead.
class ChunkPipeline {
public:
    ChunkPipeline(std::string_view text, const ChunkWork& work, std::size_t threads,
                  std::size_t chunk_bytes)
        : text_(text), work_(work), slots_(threads * 2) {
        for (std::size_t start = 0; start < text.size();) {
            const std::size_t end = LineStartFrom(text, start + chunk_bytes);
            cuts_.push_back(start);
            start = end;
        }
        cuts_.push_back(text.size());
    }

    std::size_t chunks() const { return cuts_.size() - 1; }

    void Run(std::size_t helpers) {
        std::vector<std::jthread> threads;
        for (std::size_t i = 0; i < helpers; ++i) {
            try {
                threads.push_back(StartThread([this, i] { Help(i + 1); }));
            } catch (const ThreadStartError&) {
                break;  // the threads started so far, and this one, do the work
            }
        }
        try {
            WriteAll();
        } catch (...) {
            Fail(std::current_exception());
        }
        for (std::jthread& t : threads) t.join();
        if (error_) std::rethrow_exception(error_);
    }

private:
    struct Slot {
        std::string out;
        std::size_t count = 0;
        bool ready = false;
    };

    std::string_view Chunk(std::size_t i) const {
        return text_.substr(cuts_[i], cuts_[i + 1] - cuts_[i]);
    }

    bool CanClaim() const {
        return !error_ && next_claim_ < chunks() && next_claim_ < next_write_ + slots_.size();
    }

    // Formats chunk i into its slot; the lock is held on entry and on return.
    void Format(std::unique_lock<std::mutex>& lock, std::size_t worker, std::size_t i) {
        std::string out = std::move(slots_[i % slots_.size()].out);
        lock.unlock();
        out.clear();
        std::exception_ptr error;
        std::size_t count = 0;
        try {
            count = work_.format(worker, Chunk(i), out);
        } catch (...) {
            error = std::current_exception();
        }
        lock.lock();
        if (error) {
            FailLocked(error);
            return;
        }
        Slot& slot = slots_[i % slots_.size()];
        slot.out = std::move(out);
        slot.count = count;
        slot.ready = true;
        changed_.notify_all();
    }

    void Help(std::size_t worker) {
        std::unique_lock lock(mutex_);
        for (;;) {
            changed_.wait(lock, [&] { return CanClaim() || error_ || next_claim_ == chunks(); });
            if (!CanClaim()) return;
            Format(lock, worker, next_claim_++);
        }
    }

    void WriteAll() {
        std::unique_lock lock(mutex_);
        while (next_write_ < chunks()) {
            if (error_) return;
            Slot& slot = slots_[next_write_ % slots_.size()];
            if (slot.ready) {
                std::string out = std::move(slot.out);
                lock.unlock();
                work_.write(Chunk(next_write_), out, slot.count);
                lock.lock();
                slot.out = std::move(out);  // its room serves a later chunk
                slot.ready = false;
                ++next_write_;
                changed_.notify_all();
            } else if (CanClaim()) {
                Format(lock, 0, next_claim_++);
            } else {
                changed_.wait(lock);
            }
        }
    }

    void Fail(std::exception_ptr error) {
        std::lock_guard lock(mutex_);
        FailLocked(error);
    }
    void FailLocked(std::exception_ptr error) {
        if (!error_) error_ = error;
        changed_.notify_all();
    }

    std::string_view text_;
    const ChunkWork& work_;
    std::vector<std::size_t> cuts_;  // chunk i is [cuts_[i], cuts_[i + 1])
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Slot> slots_;
    std::size_t next_claim_ = 0;
    std::size_t next_write_ = 0;
    std::exception_ptr error_;
};

}  // namespace

unsigned ChunkThreads(unsigned threads) {
    return threads != 0 ? threads : std::max(1u, std::thread::hardware_concurrency());
}

void ProcessChunksInOrder(std::string_view text, const ChunkWork& work, unsigned threads,
                          std::size_t chunk_bytes) {
    threads = ChunkThreads(threads);
    ChunkPipeline pipeline(text, work, threads, std::max<std::size_t>(chunk_bytes, 1));
    pipeline.Run(pipeline.chunks() < 2 ? 0 : std::min<std::size_t>(threads, pipeline.chunks()) - 1);
}

}  // namespace haojian
