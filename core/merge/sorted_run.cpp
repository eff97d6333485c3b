#include "core/merge/sorted_run.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace haojian::sorting {

RunWriter::RunWriter(std::unique_ptr<TemporaryFile> file)
    : run_{std::move(file)}, out_(*run_.file, std::size_t(1) << 20) {}

void RunWriter::DigitWords(std::span<const std::uint64_t> words) {
    constexpr std::size_t kBatch = 4096;
    for (std::size_t i = 0; i < words.size();) {
        const std::size_t batch = std::min(kBatch, words.size() - i);
        char* const start = out_.Reserve(batch * kLongestWordStep);
        char* p = start;
        for (const std::uint64_t word : words.subspan(i, batch)) {
            p += WriteWordStep(word - previous_, p);
            previous_ = word;
        }
        out_.Commit(std::size_t(p - start));
        run_.digit_bytes += std::size_t(p - start);
        i += batch;
    }
}

namespace {

std::size_t WriteNumber(std::uint64_t number, char* out) {
    std::size_t n = 0;
    for (; number >= 0x80; number >>= 7) out[n++] = char(0x80 | (number & 0x7F));
    out[n++] = char(number);
    return n;
}

}  // namespace

void RunWriter::Line(std::string_view line) {
    const std::size_t most = std::min(line.size(), previous_line_.size());
    const std::size_t shared = std::size_t(
        std::mismatch(line.begin(), line.begin() + std::ptrdiff_t(most), previous_line_.begin())
            .first -
        line.begin());
    const std::string_view rest = line.substr(shared);
    char* p = out_.Reserve(20);
    std::size_t n = WriteNumber(shared, p);
    n += WriteNumber(rest.size(), p + n);
    out_.Commit(n);
    out_.Append(rest);
    run_.end += n + rest.size();
    previous_line_.assign(line);
}

SortedRun RunWriter::Finish() {
    out_.Flush();
    run_.end += run_.digit_bytes;
    return std::move(run_);
}

RunReader::RunReader(TemporaryFile& file, std::uint64_t from, std::uint64_t to, std::size_t block,
                     const std::string& folder, const Counter& counter)
    : file_(file), next_(from), to_(to), folder_(folder), counter_(counter) {
    buffer_.resize(std::max<std::size_t>(block, 64));
}

bool RunReader::NextLine(std::string_view& line) {
    if (end_ - pos_ < 20 && !Refill(20) && pos_ == end_) return false;
    const std::uint64_t shared = NextNumber();
    const std::uint64_t length = NextNumber();
    if (shared > line_.size() || (end_ - pos_ < length && !Refill(std::size_t(length)))) {
        Damaged();
    }
    line_.resize(std::size_t(shared));
    line_.append(buffer_, pos_, std::size_t(length));
    pos_ += std::size_t(length);
    line = line_;
    return true;
}

// One number of a line's head, all of whose bytes are at hand (a head takes at most 20).
std::uint64_t RunReader::NextNumber() {
    std::uint64_t number = 0;
    for (int shift = 0;; shift += 7) {
        if (pos_ == end_ || shift > 63) Damaged();
        const auto byte = static_cast<unsigned char>(buffer_[pos_++]);
        number |= std::uint64_t(byte & 0x7F) << shift;
        if (byte < 0x80) return number;
    }
}

// A run that gives less than was written: the file was changed behind the merge's back.
void RunReader::Damaged() const {
    throw TemporaryFolderError(FileError::Op::Read, folder_, EIO);
}

bool RunReader::Refill(std::size_t wanted) {
    std::memmove(buffer_.data(), buffer_.data() + pos_, end_ - pos_);
    end_ -= pos_;
    pos_ = 0;
    if (buffer_.size() < wanted) buffer_.resize(wanted);
    while (end_ < wanted && next_ < to_) {
        const std::size_t room =
            std::size_t(std::min<std::uint64_t>(buffer_.size() - end_, to_ - next_));
        const std::size_t n = file_.ReadAt(next_, buffer_.data() + end_, room);
        if (n == 0) Damaged();
        next_ += n;
        end_ += n;
        if (counter_) counter_(n);
    }
    return end_ >= wanted;
}

}  // namespace haojian::sorting
