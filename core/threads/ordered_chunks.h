#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

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

// The threads ProcessChunksInOrder uses when asked for 0: one per processor.
unsigned ChunkThreads(unsigned threads);

// Runs work over text, which the caller has cut at a NUL byte if it holds one. Texts of fewer
// than two chunks stay on the calling thread, and so does everything when no thread can be
// started. The first error of format or write is raised once every thread has stopped; nothing
// more is written after it.
void ProcessChunksInOrder(std::string_view text, const ChunkWork& work, unsigned threads = 0,
                          std::size_t chunk_bytes = std::size_t(256) << 10);

}  // namespace haojian
