#pragma once

// The lines of a text that the merge orders by collation: where each stands, a hash of its
// case-folded text, and the table that keeps the first of each set of equal lines.

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/huge_pages.h"
#include "core/collation/collation.h"
#include "core/text/same_bytes.h"

namespace haojian::sorting {

// A line that is not a short run of digits: where it stands in the text (or, while part of
// its key is kept aside, the reference of that part), and a key field that holds, in turn, the
// hash of its folded text, then a piece of its collation key.
struct GeneralLine {
    std::uint64_t key;
    std::uint64_t where;  // offset << kLengthBits | length (kLongLine: find the end)
};
constexpr int kLengthBits = 24;
constexpr std::uint64_t kLongLine = (std::uint64_t(1) << kLengthBits) - 1;

// An object rather than a function, so that sorts take the comparison in.
inline constexpr auto ByKey = [](const GeneralLine& a, const GeneralLine& b) {
    return a.key < b.key;
};

inline std::string_view LineAt(std::string_view text, std::uint64_t where) {
    const std::size_t offset = std::size_t(where >> kLengthBits);
    std::size_t length = std::size_t(where & kLongLine);
    if (length == kLongLine) {
        length = std::min(text.find_first_of("\r\n", offset), text.size()) - offset;
    }
    return text.substr(offset, length);
}

inline GeneralLine LineEntry(std::string_view text, std::string_view line, std::uint64_t hash) {
    const std::uint64_t offset = std::uint64_t(line.data() - text.data());
    return {hash, offset << kLengthBits | std::min<std::uint64_t>(line.size(), kLongLine)};
}

// The first of each set of equal lines, and an open-addressing table of their numbers by the
// hash of their folded units, kept at most 3/4 full.
class LineTable {
public:
    explicit LineTable(std::string_view text) : text_(text) {}

    // Adds each line of pending unless an equal line is there, in their order. A line whose
    // hash a line of the table has is taken for a repeat of it at first, and the two texts are
    // compared after the rest, when the texts of many can be fetched at once rather than one
    // after another; the rare line that proves to differ is then added after all, in its order,
    // so that of lines equal among themselves the first still stays. What a line's probe will
    // look at is fetched some lines ahead, a step at a time (its slots, the lines they name).
    void AddAll(std::span<const GeneralLine> pending) {
        constexpr std::size_t kAhead = 16;
        repeats_.clear();
        for (std::size_t i = 0; i < pending.size(); ++i) {
            if (i + kAhead < pending.size()) Fetch(pending[i + kAhead].key, Step::kSlot);
            if (i + kAhead / 2 < pending.size()) Fetch(pending[i + kAhead / 2].key, Step::kLine);
            AddUnlessHashSeen(pending[i]);
        }
        constexpr std::size_t kTextsAhead = 8;
        for (std::size_t k = 0; k < repeats_.size(); ++k) {
            if (k + kTextsAhead < repeats_.size()) {
                FetchText(repeats_[k + kTextsAhead].line.where);
                FetchText(repeats_[k + kTextsAhead].seen);
            }
            const Repeat& r = repeats_[k];
            if (!Equal(LineAt(text_, r.line.where), LineAt(text_, r.seen))) Add(r.line);
        }
    }

    std::vector<GeneralLine>& lines() { return lines_; }

    // Frees all memory.
    void Clear() {
        std::vector<GeneralLine>().swap(lines_);
        std::vector<std::uint32_t>().swap(slots_);
        std::vector<Repeat>().swap(repeats_);
    }

private:
    enum class Step { kSlot, kLine };

    // A line taken for a repeat, and where the line with its hash stands.
    struct Repeat {
        GeneralLine line;
        std::uint64_t seen;
    };

    static bool Equal(std::string_view line, std::string_view other) {
        return SameBytes(other, line) || LocaleCollation::FoldedEqual(line, other);
    }

    // Adds the line, or notes it as a repeat of the line with its hash when there is one.
    void AddUnlessHashSeen(const GeneralLine& entry) {
        if ((lines_.size() + 1) * 4 > slots_.size() * 3) Grow();
        const std::size_t mask = slots_.size() - 1;
        std::size_t slot = SlotOf(entry.key);
        for (; slots_[slot] != 0; slot = (slot + 1) & mask) {
            const GeneralLine& seen = lines_[slots_[slot] - 1];
            if (seen.key == entry.key) {
                repeats_.push_back({entry, seen.where});
                return;
            }
        }
        Put(entry, slot);
    }

    // Adds the line unless an equal line is there, comparing it with every line of its hash.
    void Add(const GeneralLine& entry) {
        if ((lines_.size() + 1) * 4 > slots_.size() * 3) Grow();
        const std::string_view line = LineAt(text_, entry.where);
        const std::size_t mask = slots_.size() - 1;
        std::size_t slot = SlotOf(entry.key);
        for (; slots_[slot] != 0; slot = (slot + 1) & mask) {
            const GeneralLine& seen = lines_[slots_[slot] - 1];
            if (seen.key != entry.key) continue;
            if (Equal(line, LineAt(text_, seen.where))) return;
        }
        Put(entry, slot);
    }

    // Puts the line in the free slot.
    void Put(const GeneralLine& entry, std::size_t slot) {
        if (lines_.size() == lines_.capacity()) {
            ReserveHuge(lines_, std::max<std::size_t>(1024, 2 * lines_.capacity()));
        }
        lines_.push_back(entry);
        slots_[slot] = std::uint32_t(lines_.size());
    }

    // Both ends of the line: it may straddle two cache lines.
    void FetchText(std::uint64_t where) const {
        const char* const start = text_.data() + (where >> kLengthBits);
        __builtin_prefetch(start);
        __builtin_prefetch(start + std::min<std::uint64_t>(where & kLongLine, 64));
    }

    void Fetch(std::uint64_t hash, Step step) const {
        if (slots_.empty()) return;
        const std::size_t mask = slots_.size() - 1;
        std::size_t slot = SlotOf(hash);
        if (step == Step::kSlot) {
            __builtin_prefetch(&slots_[slot]);
            return;
        }
        for (; slots_[slot] != 0; slot = (slot + 1) & mask) {
            __builtin_prefetch(&lines_[slots_[slot] - 1]);
        }
    }

    void Grow() {
        const std::size_t size = std::max<std::size_t>(1024, slots_.size() * 2);
        std::vector<std::uint32_t> grown;
        ReserveHuge(grown, size);
        grown.assign(size, 0);
        slots_.swap(grown);
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t i = 0; i < lines_.size(); ++i) {
            std::size_t slot = SlotOf(lines_[i].key);
            while (slots_[slot] != 0) slot = (slot + 1) & mask;
            slots_[slot] = std::uint32_t(i + 1);
        }
    }

    std::size_t SlotOf(std::uint64_t hash) const {
        return std::size_t((hash * 0x9E3779B97F4A7C15ULL) >>
                           (64 - std::countr_zero(slots_.size())));
    }

    std::string_view text_;
    std::vector<GeneralLine> lines_;
    std::vector<std::uint32_t> slots_;  // line number; 0 is free
    std::vector<Repeat> repeats_;       // of the lines being added
};

}  // namespace haojian::sorting
