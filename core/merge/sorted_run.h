#pragma once

// Runs of sorted lines set aside in temporary files while a merge larger than its memory goes
// on, and the reading of them back a block at a time.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/files/buffered_writer.h"
#include "core/files/temporary_file.h"
#include "core/merge/unique_lines.h"

namespace haojian::sorting {

// A run of distinct lines in order, in a temporary file: first its digit lines as packed words
// (see DigitKey), eight bytes each, then its other lines, each as its length (seven bits a byte,
// low first, the top bit on in all but the last) and its bytes.
struct SortedRun {
    std::unique_ptr<TemporaryFile> file;
    std::uint64_t digit_words = 0;
    std::uint64_t end = 0;  // the file's size
    std::uint64_t LinesOffset() const { return digit_words * 8; }
};

// Writes sorted lines into a new run: every digit word (DigitWords may be called more than
// once, in order) before the first other line. Throws TemporaryFolderError.
class RunWriter final : public SortedLineSink {
public:
    explicit RunWriter(std::unique_ptr<TemporaryFile> file);
    void DigitWords(std::span<const std::uint64_t> words) override;
    void Line(std::string_view line) override;
    SortedRun Finish();

private:
    SortedRun run_;
    BufferedWriter out_;
};

// Reads a stretch of a run's file a block at a time, calling read_bytes with the bytes of each
// read (for progress).
class RunReader {
public:
    using Counter = std::function<void(std::uint64_t)>;
    // folder names the file's folder in failures.
    RunReader(TemporaryFile& file, std::uint64_t from, std::uint64_t to, std::size_t block,
              const std::string& folder, const Counter& counter);

    // The next digit word; false at the end.
    bool NextWord(std::uint64_t& word) {
        if (pos_ + 8 > end_ && !Refill(8)) return false;
        std::uint64_t w;
        std::memcpy(&w, buffer_.data() + pos_, 8);
        pos_ += 8;
        word = w;
        return true;
    }
    // The next line, valid until the next call; false at the end.
    bool NextLine(std::string_view& line);

private:
    [[noreturn]] void Damaged() const;
    // Keeps the unread bytes and reads more, so that at least wanted are at hand; false when
    // the stretch has fewer left.
    bool Refill(std::size_t wanted);

    TemporaryFile& file_;
    std::uint64_t next_;  // where the next read starts in the file
    std::uint64_t to_;
    const std::string& folder_;
    const Counter& counter_;
    std::string buffer_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
};

}  // namespace haojian::sorting
