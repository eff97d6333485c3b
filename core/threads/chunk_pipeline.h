#pragma once

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "core/threads/parallel_crew.h"

namespace haojian {

// Work on the lines of a long text shared among threads, with its results kept in text order:
// the text is cut into chunks at line starts, each chunk is turned into output on whichever
// thread is free, and the outputs are handed on one after another in the order of their
// chunks, on the calling thread. Only a few chunks are ever ahead of the one handed on next,
// so memory stays small whatever the text's size.
struct ChunkWork {
    // Appends the output of chunk (whole lines of the text, ended as the text ends them) to out,
    // which comes empty, and gives a count that goes with it to write (of lines formed, say).
    // worker names the thread (0 .. threads - 1), for state of its own.
    std::function<std::size_t(std::size_t worker, std::string_view chunk, std::string& out)> format;
    // Takes the outputs and their counts in chunk order, with the chunk each came from, on the
    // calling thread.
    std::function<void(std::string_view chunk, std::string_view out, std::size_t count)> write;
};

// The threads a ChunkPipeline uses when asked for 0: one per processor.
unsigned ChunkThreads(unsigned threads);

// Runs ChunkWork over one text after another with the same helper threads (a ParallelCrew)
// and output buffers, so that a stream read a piece at a time starts its threads and takes its
// buffers' memory once, not at every piece (both cost much more on some systems than the work
// of a chunk).
class ChunkPipeline {
public:
    explicit ChunkPipeline(unsigned threads = 0, std::size_t chunk_bytes = std::size_t(256) << 10);
    ChunkPipeline(const ChunkPipeline&) = delete;
    ChunkPipeline& operator=(const ChunkPipeline&) = delete;

    // Runs work over text, which the caller has cut at a NUL byte if it holds one. Helper
    // threads start at the first text of two chunks or more; a text of fewer stays on the
    // calling thread, and so does everything when no thread can be started. The first error of
    // format or write is raised once no thread works on text any more; nothing more is written
    // after it, and the pipeline can take the next text.
    void Run(std::string_view text, const ChunkWork& work);

private:
    struct Slot {
        std::string out;
        std::size_t count = 0;
        bool ready = false;
    };

    std::size_t chunks() const { return cuts_.empty() ? 0 : cuts_.size() - 1; }
    std::string_view Chunk(std::size_t i) const;
    bool CanClaim() const;
    void Format(std::unique_lock<std::mutex>& lock, std::size_t worker, std::size_t i);
    void Help(std::size_t worker);
    void WriteAll();
    void FailLocked(std::exception_ptr error);

    const std::size_t threads_;
    const std::size_t chunk_bytes_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Slot> slots_;
    // The text being run: chunk i is [cuts_[i], cuts_[i + 1]).
    std::string_view text_;
    const ChunkWork* work_ = nullptr;
    std::vector<std::size_t> cuts_;
    std::size_t next_claim_ = 0;
    std::size_t next_write_ = 0;
    std::exception_ptr error_;
    ParallelCrew crew_;  // last: its helpers stop before the rest goes
};

// Runs work over text once, as a ChunkPipeline of its own does.
void ProcessChunksInOrder(std::string_view text, const ChunkWork& work, unsigned threads = 0,
                          std::size_t chunk_bytes = std::size_t(256) << 10);

}  // namespace haojian
