#include "core/threads/chunk_pipeline.h"

#include <algorithm>
#include <thread>
#include <utility>

#include "core/text/line_list.h"

namespace haojian {

// Chunks are claimed by the threads in turn, each formatted into a slot of a ring, and written
// in order by the calling thread, which formats chunks too while the next one to write is not
// ready. A chunk is claimed only while its slot is free, so at most `slots` are ahead. Between
// texts the helpers wait for the next one.

unsigned ChunkThreads(unsigned threads) {
    return threads != 0 ? threads : std::max(1u, std::thread::hardware_concurrency());
}

ChunkPipeline::ChunkPipeline(unsigned threads, std::size_t chunk_bytes)
    : threads_(ChunkThreads(threads)),
      chunk_bytes_(std::max<std::size_t>(chunk_bytes, 1)),
      slots_(threads_ * 2),
      crew_(threads_) {}

std::string_view ChunkPipeline::Chunk(std::size_t i) const {
    return text_.substr(cuts_[i], cuts_[i + 1] - cuts_[i]);
}

bool ChunkPipeline::CanClaim() const {
    return !error_ && next_claim_ < chunks() && next_claim_ < next_write_ + slots_.size();
}

void ChunkPipeline::Run(std::string_view text, const ChunkWork& work) {
    text_ = text;
    work_ = &work;
    cuts_.clear();
    for (std::size_t start = 0; start < text.size();) {
        cuts_.push_back(start);
        start = LineStartFrom(text, start + chunk_bytes_);
    }
    cuts_.push_back(text.size());
    next_claim_ = next_write_ = 0;
    error_ = nullptr;
    for (Slot& slot : slots_) slot.ready = false;
    // The calling thread writes (and formats while it waits); the crew's helpers format.
    crew_.Run(std::min(threads_, chunks()), [this](std::size_t i) {
        if (i != 0) return Help(i);
        try {
            WriteAll();
        } catch (...) {
            std::lock_guard lock(mutex_);
            FailLocked(std::current_exception());
        }
    });
    work_ = nullptr;
    if (error_) std::rethrow_exception(std::exchange(error_, nullptr));
}

// Formats chunk i into its slot; the lock is held on entry and on return.
void ChunkPipeline::Format(std::unique_lock<std::mutex>& lock, std::size_t worker, std::size_t i) {
    std::string out = std::move(slots_[i % slots_.size()].out);
    const std::string_view chunk = Chunk(i);
    lock.unlock();
    out.clear();
    std::exception_ptr error;
    std::size_t count = 0;
    try {
        count = work_->format(worker, chunk, out);
    } catch (...) {
        error = std::current_exception();
    }
    lock.lock();
    Slot& slot = slots_[i % slots_.size()];
    slot.out = std::move(out);  // its room serves a later chunk, even after a failure
    if (error) {
        FailLocked(error);
        return;
    }
    slot.count = count;
    slot.ready = true;
    changed_.notify_all();
}

// A helper's share: formats chunks while there are any to claim.
void ChunkPipeline::Help(std::size_t worker) {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [&] { return CanClaim() || error_ || next_claim_ == chunks(); });
        if (!CanClaim()) return;
        Format(lock, worker, next_claim_++);
    }
}

void ChunkPipeline::WriteAll() {
    std::unique_lock lock(mutex_);
    while (next_write_ < chunks()) {
        if (error_) return;
        Slot& slot = slots_[next_write_ % slots_.size()];
        if (slot.ready) {
            std::string out = std::move(slot.out);
            const std::string_view chunk = Chunk(next_write_);
            lock.unlock();
            work_->write(chunk, out, slot.count);
            lock.lock();
            slot.out = std::move(out);
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

void ChunkPipeline::FailLocked(std::exception_ptr error) {
    if (!error_) error_ = error;
    changed_.notify_all();
}

void ProcessChunksInOrder(std::string_view text, const ChunkWork& work, unsigned threads,
                          std::size_t chunk_bytes) {
    ChunkPipeline pipeline(threads, chunk_bytes);
    pipeline.Run(text, work);
}

}  // namespace haojian
