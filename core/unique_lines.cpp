#include "unique_lines.h"

#include <unicode/unistr.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "buffered_writer.h"
#include "collation.h"
#include "gbk.h"
#include "line_list.h"

namespace haojian {
namespace {

// A line of up to 16 ASCII digits packs into one word whose integer order is the line order:
// digit d is the nibble d + 1, from the top down, and unused nibbles are 0, so that a line
// sorts before the lines it begins. Equal words are equal lines, byte for byte.
constexpr std::size_t kMaxDigitKeyLength = 16;

bool DigitKey(std::string_view line, std::uint64_t* key) {
    if (line.size() > kMaxDigitKeyLength) return false;
    std::uint64_t packed = 0;
    int shift = 60;
    for (const char c : line) {
        const unsigned digit = unsigned(static_cast<unsigned char>(c)) - unsigned('0');
        if (digit > 9) return false;
        packed |= std::uint64_t(digit + 1) << shift;
        shift -= 4;
    }
    *key = packed;
    return true;
}

std::size_t DecodeDigitKey(std::uint64_t key, char* out) {
    std::size_t n = 0;
    for (; key != 0; key <<= 4) out[n++] = char('0' + int(key >> 60) - 1);
    return n;
}

// Least significant digit first, 11 bits a pass, over the bits in which the keys differ.
void RadixSort(std::vector<std::uint64_t>& keys) {
    constexpr int kBits = 11;
    constexpr std::uint64_t kMask = (1u << kBits) - 1;
    std::uint64_t any = 0;
    std::uint64_t all = ~std::uint64_t(0);
    for (const std::uint64_t k : keys) {
        any |= k;
        all &= k;
    }
    const std::uint64_t varying = any & ~all;
    if (varying == 0) return;
    const int low = std::countr_zero(varying);
    const int passes = (64 - std::countl_zero(varying) - low + kBits - 1) / kBits;
    std::vector<std::array<std::size_t, kMask + 1>> counts(static_cast<std::size_t>(passes));
    for (const std::uint64_t k : keys) {
        for (int p = 0; p < passes; ++p) ++counts[p][(k >> (low + p * kBits)) & kMask];
    }
    std::vector<std::uint64_t> scratch(keys.size());
    for (int p = 0; p < passes; ++p) {
        const int shift = low + p * kBits;
        std::size_t sum = 0;
        for (std::size_t& c : counts[p]) sum += std::exchange(c, sum);
        for (const std::uint64_t k : keys) scratch[counts[p][(k >> shift) & kMask]++] = k;
        keys.swap(scratch);
    }
}

bool IsAscii(std::string_view text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
}

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

// FNV-1a over the case-folded UTF-16 code units, the text the comparison compares: lines
// that compare equal hash alike. ASCII folds by itself.
std::uint64_t FoldedHash(std::string_view line) {
    constexpr std::uint64_t kPrime = 0x100000001B3ULL;
    std::uint64_t hash = 0xCBF29CE484222325ULL;
    if (IsAscii(line)) {
        for (const char c : line) hash = (hash ^ std::uint64_t(AsciiLower(c))) * kPrime;
        return hash;
    }
    const std::u16string units = Utf16FromGbk(line);
    icu::UnicodeString folded(reinterpret_cast<const UChar*>(units.data()), int32_t(units.size()));
    folded.foldCase();
    for (int32_t i = 0; i < folded.length(); ++i) {
        hash = (hash ^ std::uint64_t(folded.charAt(i))) * kPrime;
    }
    return hash;
}

bool AsciiEqualIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    }
    return true;
}

// A line that is not a short run of digits: where it stands in the text, and a key field that
// holds, in turn, the hash of its folded text, then a piece of its collation sort key.
struct GeneralLine {
    std::uint64_t key;
    std::uint64_t where;  // offset << kLengthBits | length (kLongLine: find the end)
};
constexpr int kLengthBits = 24;
constexpr std::uint64_t kLongLine = (std::uint64_t(1) << kLengthBits) - 1;
constexpr std::uint64_t kDropped = UINT64_MAX;

bool ByKeyThenPlace(const GeneralLine& a, const GeneralLine& b) {
    return a.key != b.key ? a.key < b.key : a.where < b.where;
}

// Bytes [depth, depth + 7) of a sort key, zero-padded, in the top seven bytes; in the lowest,
// how many of them the key has, or 8 when more follow. The word order is the key order among
// keys that agree before depth, and equal words with a count below 8 are equal keys.
std::uint64_t KeyPiece(std::string_view key, std::size_t depth) {
    const std::size_t remaining = key.size() > depth ? key.size() - depth : 0;
    const std::size_t n = std::min<std::size_t>(remaining, 7);
    std::uint64_t piece = 0;
    for (std::size_t i = 0; i < n; ++i) {
        piece |= std::uint64_t(static_cast<unsigned char>(key[depth + i])) << (56 - 8 * i);
    }
    return piece | std::min<std::size_t>(remaining, 8);
}

class LineSorter {
public:
    LineSorter(std::string text, const LocaleCollation& collation, std::size_t key_budget)
        : text_(std::move(text)), collation_(collation), key_budget_(key_budget) {
        if (const std::size_t nul = text_.find('\0'); nul != std::string::npos) {
            text_.resize(nul);
        }
        if (key_budget_ == 0) {
            key_budget_ = std::max<std::size_t>(text_.size() / 2, std::size_t(4) << 20);
        }
    }

    std::size_t Write(BufferedWriter& out) {
        Collect();
        if (general_.empty()) std::string().swap(text_);
        RadixSort(digits_);
        digits_.erase(std::unique(digits_.begin(), digits_.end()), digits_.end());
        Refine(general_, 0);
        std::erase_if(general_, [](const GeneralLine& l) { return l.where == kDropped; });
        return WriteMerged(out);
    }

private:
    std::string_view LineAt(std::uint64_t where) const {
        const std::size_t offset = std::size_t(where >> kLengthBits);
        std::size_t length = std::size_t(where & kLongLine);
        if (length == kLongLine) {
            length = std::min(text_.find_first_of("\r\n", offset), text_.size()) - offset;
        }
        return std::string_view(text_).substr(offset, length);
    }

    // Digit lines to digits_, one word each; other lines to general_, the first of each set
    // of equal lines only.
    void Collect() {
        // Line ends bound the number of lines; reserved pages that stay unused cost nothing.
        const std::size_t most =
            std::size_t(std::count_if(text_.begin(), text_.end(),
                                      [](char c) { return c == '\r' || c == '\n'; })) +
            1;
        digits_.reserve(most);
        general_.reserve(most);
        ForEachLine(text_, [&](std::string_view line) {
            std::uint64_t key;
            if (DigitKey(line, &key)) {
                digits_.push_back(key);
            } else {
                AddGeneral(line);
            }
        });
        std::vector<std::uint32_t>().swap(slots_);
    }

    // Adds line to general_ unless an equal line is there. slots_ is an open-addressing table
    // of general_ entries (index + 1; 0 is free), kept at most 3/4 full.
    void AddGeneral(std::string_view line) {
        if ((general_.size() + 1) * 4 > slots_.size() * 3) {
            slots_.assign(std::max<std::size_t>(1024, slots_.size() * 2), 0);
            for (std::size_t i = 0; i < general_.size(); ++i) {
                std::size_t slot = Slot(general_[i].key);
                while (slots_[slot] != 0) slot = (slot + 1) & (slots_.size() - 1);
                slots_[slot] = std::uint32_t(i + 1);
            }
        }
        const std::uint64_t hash = FoldedHash(line);
        const bool ascii = IsAscii(line);
        std::size_t slot = Slot(hash);
        for (; slots_[slot] != 0; slot = (slot + 1) & (slots_.size() - 1)) {
            const GeneralLine& seen = general_[slots_[slot] - 1];
            if (seen.key != hash) continue;
            const std::string_view other = LineAt(seen.where);
            if ((ascii && IsAscii(other)) ? AsciiEqualIgnoringCase(line, other)
                                          : collation_.Equal(line, other)) {
                return;
            }
        }
        const std::uint64_t offset = std::uint64_t(line.data() - text_.data());
        general_.push_back(
            {hash, offset << kLengthBits | std::min<std::uint64_t>(line.size(), kLongLine)});
        slots_[slot] = std::uint32_t(general_.size());
    }

    std::size_t Slot(std::uint64_t hash) const {
        return std::size_t((hash * 0x9E3779B97F4A7C15ULL) >>
                           (64 - std::countr_zero(slots_.size())));
    }

    // Puts lines, whose sort keys agree before depth, in key order, and marks as dropped all
    // but the first in text of lines with equal keys. Keys are made again at every level
    // rather than kept, unless all of them fit the budget.
    void Refine(std::span<GeneralLine> lines, std::size_t depth) {
        if (lines.size() < 2) return;
        std::size_t estimate = 0;
        for (const GeneralLine& l : lines) estimate += 4 * (l.where & kLongLine) + 24;
        if (estimate <= key_budget_) {
            SortByWholeKeys(lines);
            return;
        }
        for (GeneralLine& l : lines) l.key = KeyPiece(collation_.SortKey(LineAt(l.where)), depth);
        std::sort(lines.begin(), lines.end(), ByKeyThenPlace);
        for (std::size_t first = 0; first < lines.size();) {
            std::size_t end = first + 1;
            while (end < lines.size() && lines[end].key == lines[first].key) ++end;
            if ((lines[first].key & 0xFF) < 8) {
                for (std::size_t i = first + 1; i < end; ++i) lines[i].where = kDropped;
            } else {
                Refine(lines.subspan(first, end - first), depth + 7);
            }
            first = end;
        }
    }

    void SortByWholeKeys(std::span<GeneralLine> lines) {
        std::string keys;
        std::vector<std::size_t> starts;
        starts.reserve(lines.size() + 1);
        for (GeneralLine& l : lines) {
            l.key = starts.size();
            starts.push_back(keys.size());
            keys += collation_.SortKey(LineAt(l.where));
        }
        starts.push_back(keys.size());
        const auto key_of = [&](const GeneralLine& l) {
            return std::string_view(keys).substr(starts[l.key], starts[l.key + 1] - starts[l.key]);
        };
        std::sort(lines.begin(), lines.end(), [&](const GeneralLine& a, const GeneralLine& b) {
            const int c = key_of(a).compare(key_of(b));
            return c != 0 ? c < 0 : a.where < b.where;
        });
        std::size_t kept = 0;
        for (std::size_t i = 1; i < lines.size(); ++i) {
            if (key_of(lines[i]) == key_of(lines[kept])) {
                lines[i].where = kDropped;
            } else {
                kept = i;
            }
        }
    }

    // Both sorted lists into one: each general line goes after the digit lines that sort
    // before it, found by galloping from the last place.
    std::size_t WriteMerged(BufferedWriter& out) {
        char buffer[kMaxDigitKeyLength];
        const auto digit_line = [&](std::size_t i) {
            return std::string_view(buffer, DecodeDigitKey(digits_[i], buffer));
        };
        const auto digit_before = [&](std::size_t i, std::string_view line) {
            return collation_.Compare(digit_line(i), line) < 0;
        };
        const auto write_digits = [&](std::size_t from, std::size_t to) {
            for (std::size_t i = from; i < to; ++i) {
                char* p = out.Reserve(kMaxDigitKeyLength + 2);
                const std::size_t n = DecodeDigitKey(digits_[i], p);
                p[n] = '\r';
                p[n + 1] = '\n';
                out.Commit(n + 2);
            }
        };
        const std::size_t digit_count = digits_.size();
        std::size_t next = 0;
        for (const GeneralLine& l : general_) {
            const std::string_view line = LineAt(l.where);
            std::size_t low = next;
            std::size_t high = next;
            for (std::size_t step = 1; high < digit_count && digit_before(high, line); step *= 2) {
                low = high + 1;
                high += step;
            }
            high = std::min(high, digit_count);
            while (low < high) {
                const std::size_t mid = low + (high - low) / 2;
                if (digit_before(mid, line)) {
                    low = mid + 1;
                } else {
                    high = mid;
                }
            }
            write_digits(next, low);
            next = low;
            out.AppendLine(line);
        }
        write_digits(next, digit_count);
        return digit_count + general_.size();
    }

    std::string text_;
    const LocaleCollation& collation_;
    std::size_t key_budget_;
    std::vector<std::uint64_t> digits_;
    std::vector<GeneralLine> general_;
    std::vector<std::uint32_t> slots_;
};

}  // namespace

std::size_t WriteSortedUniqueLines(std::string text, const LocaleCollation& collation,
                                   BufferedWriter& out, std::size_t key_budget) {
    return LineSorter(std::move(text), collation, key_budget).Write(out);
}

}  // namespace haojian
