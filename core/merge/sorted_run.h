#pragma once

// Runs of sorted lines set aside in temporary files while a merge larger than its memory goes
// on, and the reading of them back a block at a time.

#include <bit>
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
// (see DigitKey), each as its difference from the one before (see WriteWordStep), then its
// other lines, each as the number of its first bytes that are the line before's, the number of
// the others and those bytes (numbers in seven-bit groups, low first, the top bit on in all but
// the last). Sorted lines share a third of their bytes with the line before, or more.
struct SortedRun {
    std::unique_ptr<TemporaryFile> file;
    std::uint64_t digit_bytes = 0;  // where the other lines start
    std::uint64_t end = 0;          // the file's size
};

// A digit word as the difference d from the word before it (0 before the first), the words
// ascending: d's trailing zero nibbles t, then the rest r = d >> 4t, in seven-bit groups with
// the top bit on in all but the last, the first group holding t and r's low three bits. The
// words of lines of one length differ in their top nibbles only, by little where they are
// many, so a word takes two or three bytes rather than eight, and the runs' disk traffic
// shrinks as much.
constexpr std::size_t kLongestWordStep = 10;
inline std::size_t WriteWordStep(std::uint64_t difference, char* out) {
    const int zeros = difference == 0 ? 0 : std::countr_zero(difference) / 4;
    std::uint64_t rest = difference >> (4 * zeros);
    unsigned byte = unsigned(zeros) | unsigned(rest & 7) << 4;
    rest >>= 3;
    std::size_t n = 0;
    for (; rest != 0; rest >>= 7) {
        out[n++] = char(byte | 0x80);
        byte = unsigned(rest & 0x7F);
    }
    out[n++] = char(byte);
    return n;
}

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
    std::uint64_t previous_ = 0;  // the last digit word written
    std::string previous_line_;   // the last other line written
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
        if (end_ - pos_ < kLongestWordStep && !Refill(kLongestWordStep) && pos_ == end_) {
            return false;
        }
        const auto* p = reinterpret_cast<const unsigned char*>(buffer_.data() + pos_);
        const auto* const end = reinterpret_cast<const unsigned char*>(buffer_.data() + end_);
        unsigned byte = *p++;
        const unsigned zeros = byte & 15;
        std::uint64_t rest = (byte >> 4) & 7;
        for (int shift = 3; byte & 0x80; shift += 7) {
            if (p == end || shift > 63) Damaged();
            byte = *p++;
            rest |= std::uint64_t(byte & 0x7F) << shift;
        }
        pos_ = std::size_t(reinterpret_cast<const char*>(p) - buffer_.data());
        previous_ += rest << (4 * zeros);
        word = previous_;
        return true;
    }
    // The next line, valid until the next call; false at the end.
    bool NextLine(std::string_view& line);

private:
    [[noreturn]] void Damaged() const;
    std::uint64_t NextNumber();
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
    std::uint64_t previous_ = 0;  // the last digit word read
    std::string line_;            // the last other line read
};

}  // namespace haojian::sorting
