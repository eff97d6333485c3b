#include "segment_database.h"

#include <bit>
#include <cstring>

#include "error.h"
#include "file_system.h"

namespace haojian {
namespace {

// Up to 7 bytes and their length in one word; never 0 for a non-empty prefix.
std::uint64_t PackPrefix(std::string_view prefix) {
    std::uint64_t key = 0;
    std::memcpy(&key, prefix.data(), prefix.size());
    return key | (std::uint64_t(prefix.size()) << 56);
}

std::uint64_t Mix(std::uint64_t key) {
    key ^= key >> 31;
    key *= 0x9E3779B97F4A7C15ULL;
    key ^= key >> 29;
    return key;
}

}  // namespace

SegmentDatabase SegmentDatabase::FromBytes(std::string bytes) {
    SegmentDatabase db;
    db.lines_ = LineList::FromBytes(std::move(bytes));
    db.BuildIndex();
    return db;
}

std::size_t SegmentDatabase::Slot(std::uint64_t key) const {
    std::size_t slot = Mix(key) & mask_;
    while (keys_[slot] != 0 && keys_[slot] != key) slot = (slot + 1) & mask_;
    return slot;
}

void SegmentDatabase::BuildIndex() {
    // Each line adds at most 7 prefixes; keep the table at most half full.
    const std::size_t most = lines_.size() * kPrefixLength;
    const std::size_t capacity = std::bit_ceil(std::max<std::size_t>(16, most * 2));
    keys_.assign(capacity, 0);
    first_line_.assign(capacity, kNoLine);
    mask_ = capacity - 1;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const std::string_view line = lines_[i];
        const std::size_t longest = std::min(line.size(), kPrefixLength);
        // Walk from the longest prefix down: once one is known, all shorter ones are too,
        // since the line that claimed it also claimed them.
        for (std::size_t length = longest; length >= 1; --length) {
            const std::uint64_t key = PackPrefix(line.substr(0, length));
            const std::size_t slot = Slot(key);
            if (keys_[slot] == key) break;
            keys_[slot] = key;
            first_line_[slot] = std::uint32_t(i);
        }
    }
}

std::uint32_t SegmentDatabase::FirstLineWithPrefix(std::string_view prefix) const {
    if (prefix.empty() || prefix.size() > kPrefixLength || keys_.empty()) return kNoLine;
    const std::uint64_t key = PackPrefix(prefix);
    const std::size_t slot = Slot(key);
    return keys_[slot] == key ? first_line_[slot] : kNoLine;
}

std::optional<SegmentDatabase> LoadSegmentDatabase(FileSystem& fs, const std::string& directory) {
    const std::string path = directory + std::string(kDatabaseFileName);
    if (!fs.IsFile(path)) return std::nullopt;
    try {
        return SegmentDatabase::FromBytes(ReadWholeFile(fs, path));
    } catch (const FileError& e) {
        throw Error("Cannot open file \"" + PathForMessage(path) + "\". " + ReasonForMessage(e.code()));
    }
}

}  // namespace haojian
