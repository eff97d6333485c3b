#include "core/database/segment_database.h"

#include <bit>
#include <unordered_map>

#include "core/base/error.h"
#include "core/base/huge_pages.h"
#include "core/files/file_system.h"

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
    slots_.assign(old.size() * 2, Slot{0, kNoLine, 0});
    for (const Slot& slot : old) {
        if (slot.key != 0) slots_[Find(slot.key)] = slot;
    }
}

bool SegmentDatabase::Claim(std::string_view prefix, std::uint32_t line) {
    if (const std::int32_t segment = MobileSegment(prefix); segment >= 0) {
        if (mobile_.empty()) {
            ReserveHuge(mobile_, kMobileSegments);
            mobile_.assign(kMobileSegments, kNoLine);
        }
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
    slots_[slot] = Slot{key, line, line_fields_[line]};
    ++used_;
    return true;
}

void SegmentDatabase::BuildIndex() {
    // Beside the mobile segments, the table holds the shorter prefixes, far fewer than the
    // lines; it grows as needed.
    slots_.assign(std::bit_ceil(std::max<std::size_t>(64, lines_.size() / 16)),
                  Slot{0, kNoLine, 0});
    used_ = 0;
    line_fields_.resize(lines_.size());
    std::unordered_map<std::uint64_t, std::uint32_t> ids;
    std::string_view previous;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const std::string_view line = lines_[i];
        const std::string_view fields = CutField(line, kFieldsFirst, kFieldsLength);
        if (i == 0 || fields != CutField(previous, kFieldsFirst, kFieldsLength)) {
            const auto [it, added] =
                ids.try_emplace(PackPrefix(fields), std::uint32_t(distinct_fields_.size()));
            if (added) {
                Fields& f = distinct_fields_.emplace_back();
                f.size = std::uint8_t(fields.copy(f.bytes, kFieldsLength));
            }
            line_fields_[i] = it->second;
        } else {
            line_fields_[i] = line_fields_[i - 1];
        }
        // Walk from the longest prefix down: once one is known, all shorter ones are too,
        // since the line that claimed it also claimed them. The prefixes this line shares
        // with the one before are known already.
        const std::size_t longest = std::min(line.size(), kPrefixLength);
        std::size_t shared = 0;
        while (shared < longest && shared < previous.size() && line[shared] == previous[shared]) {
            ++shared;
        }
        for (std::size_t length = longest; length > shared; --length) {
            if (!Claim(line.substr(0, length), std::uint32_t(i))) break;
        }
        previous = line;
    }
    if (!mobile_.empty() && distinct_fields_.size() < kNoFields) {
        // Read at random by every look-up.
        ReserveHuge(mobile_fields_, mobile_.size());
        mobile_fields_.resize(mobile_.size());
        for (std::size_t s = 0; s < mobile_.size(); ++s) {
            mobile_fields_[s] =
                mobile_[s] == kNoLine ? kNoFields : FieldsId(line_fields_[mobile_[s]]);
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

std::optional<std::string_view> SegmentDatabase::FirstCodeFields(std::string_view prefix) const {
    const std::uint32_t id = FirstFieldsId(prefix);
    if (id == kNoFieldsId) return std::nullopt;
    return distinct_fields_[id].view();
}

std::uint32_t SegmentDatabase::FirstFieldsId(std::string_view prefix) const {
    if (const std::int32_t segment = MobileSegment(prefix); segment >= 0) {
        if (!mobile_fields_.empty()) {
            const FieldsId id = mobile_fields_[std::size_t(segment)];
            return id == kNoFields ? kNoFieldsId : id;
        }
        if (mobile_.empty()) return kNoFieldsId;
        const std::uint32_t line = mobile_[std::size_t(segment)];
        return line == kNoLine ? kNoFieldsId : line_fields_[line];
    }
    if (prefix.empty() || prefix.size() > kPrefixLength || slots_.empty()) return kNoFieldsId;
    const std::uint64_t key = PackPrefix(prefix);
    const Slot& slot = slots_[Find(key)];
    return slot.key == key ? slot.fields : kNoFieldsId;
}

void SegmentDatabase::Prefetch(std::string_view prefix) const {
    if (const std::int32_t segment = MobileSegment(prefix);
        segment >= 0 && !mobile_fields_.empty()) {
        __builtin_prefetch(&mobile_fields_[std::size_t(segment)]);
    }
}

std::optional<SegmentDatabase> LoadSegmentDatabase(FileSystem& fs, const std::string& directory) {
    const std::string path = directory + std::string(kDatabaseFileName);
    if (!fs.IsFile(path)) return std::nullopt;
    return SegmentDatabase::FromBytes(ReadWholeFile(fs, path));
}

}  // namespace haojian
