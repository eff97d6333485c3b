#include "segment_database.h"

#include <bit>

#include "error.h"
#include "file_system.h"

namespace haojian {
namespace {

// Up to 7 bytes and their length in one word; never 0 for a non-empty prefix.
std::uint64_t PackPrefix(std::string_view prefix) {
    std::uint64_t key = std::uint64_t(prefix.size()) << 56;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        key |= std::uint64_t(static_cast<unsigned char>(prefix[i])) << (8 * i);
    }
    return key;
}

std::uint64_t Mix(std::uint64_t key) {
    key ^= key >> 31;
    key *= 0x9E3779B97F4A7C15ULL;
    key ^= key >> 29;
    return key;
}

// The value of the six digits after the "1" of a seven-digit prefix that begins with "1", or
// -1 for any other text.
std::int32_t MobileSegment(std::string_view prefix) {
    if (prefix.size() != SegmentDatabase::kPrefixLength || prefix[0] != '1') return -1;
    std::int32_t value = 0;
    for (std::size_t i = 1; i < SegmentDatabase::kPrefixLength; ++i) {
        const unsigned digit = unsigned(static_cast<unsigned char>(prefix[i])) - '0';
        if (digit > 9) return -1;
        value = value * 10 + std::int32_t(digit);
    }
    return value;
}

}  // namespace

SegmentDatabase SegmentDatabase::FromBytes(std::string bytes) {
    SegmentDatabase db;
    db.lines_ = LineList::FromBytes(std::move(bytes));
    db.BuildIndex();
    return db;
}

std::size_t SegmentDatabase::Find(std::uint64_t key) const {
    const std::size_t mask = slots_.size() - 1;
    std::size_t slot = Mix(key) & mask;
    while (slots_[slot].key != 0 && slots_[slot].key != key) slot = (slot + 1) & mask;
    return slot;
}

void SegmentDatabase::Grow() {
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(old.size() * 2, Slot{0, kNoLine});
    for (const Slot& slot : old) {
        if (slot.key != 0) slots_[Find(slot.key)] = slot;
    }
}

bool SegmentDatabase::Claim(std::string_view prefix, std::uint32_t line) {
    if (const std::int32_t segment = MobileSegment(prefix); segment >= 0) {
        if (mobile_.empty()) mobile_.assign(kMobileSegments, kNoLine);
        std::uint32_t& first = mobile_[std::size_t(segment)];
        if (first != kNoLine) return false;
        first = line;
        return true;
    }
    const std::uint64_t key = PackPrefix(prefix);
    std::size_t slot = Find(key);
    if (slots_[slot].key == key) return false;
    if ((used_ + 1) * 2 > slots_.size()) {
        Grow();
        slot = Find(key);
    }
    slots_[slot] = Slot{key, line};
    ++used_;
    return true;
}

void SegmentDatabase::BuildIndex() {
    // Beside the mobile segments, the table holds the shorter prefixes, fewer than the lines.
    slots_.assign(std::bit_ceil(std::max<std::size_t>(64, lines_.size() / 2)), Slot{0, kNoLine});
    used_ = 0;
    fields_.resize(lines_.size());
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const std::string_view line = lines_[i];
        const std::string_view fields = CutField(line, kFieldsFirst, kFieldsLength);
        fields_[i].size = std::uint8_t(fields.copy(fields_[i].bytes, kFieldsLength));
        // Walk from the longest prefix down: once one is known, all shorter ones are too,
        // since the line that claimed it also claimed them.
        for (std::size_t length = std::min(line.size(), kPrefixLength); length >= 1; --length) {
            if (!Claim(line.substr(0, length), std::uint32_t(i))) break;
        }
    }
}

std::uint32_t SegmentDatabase::FirstLineWithPrefix(std::string_view prefix) const {
    if (const std::int32_t segment = MobileSegment(prefix); segment >= 0) {
        return mobile_.empty() ? kNoLine : mobile_[std::size_t(segment)];
    }
    if (prefix.empty() || prefix.size() > kPrefixLength || slots_.empty()) return kNoLine;
    const std::uint64_t key = PackPrefix(prefix);
    const Slot& slot = slots_[Find(key)];
    return slot.key == key ? slot.line : kNoLine;
}

std::optional<SegmentDatabase> LoadSegmentDatabase(FileSystem& fs, const std::string& directory) {
    const std::string path = directory + std::string(kDatabaseFileName);
    if (!fs.IsFile(path)) return std::nullopt;
    try {
        return SegmentDatabase::FromBytes(ReadWholeFile(fs, path));
    } catch (const FileError& e) {
        throw ReadFailure(e, path);
    }
}

}  // namespace haojian
