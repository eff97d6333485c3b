#include "unique_lines.h"

#include <unicode/ustring.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <cstdint>
#include <cstring>
#include <exception>
#include <memory>
#include <span>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "buffered_writer.h"
#include "collation.h"
#include "line_list.h"
#include "thread_start.h"

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

bool AsciiEqualIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    }
    return true;
}

// FNV-1a over case-folded code units, the text the comparison compares: lines that compare
// equal hash alike. ASCII folds by itself, a byte to a unit.
constexpr std::uint64_t kHashStart = 0xCBF29CE484222325ULL;
constexpr std::uint64_t kHashPrime = 0x100000001B3ULL;

std::uint64_t AsciiFoldedHash(std::string_view line) {
    std::uint64_t hash = kHashStart;
    for (const char c : line) hash = (hash ^ std::uint64_t(AsciiLower(c))) * kHashPrime;
    return hash;
}

std::uint64_t UnitsHash(std::u16string_view units) {
    std::uint64_t hash = kHashStart;
    for (const char16_t c : units) hash = (hash ^ std::uint64_t(c)) * kHashPrime;
    return hash;
}

// A line that is not a short run of digits: where it stands in the text (or, while part of
// its key is kept aside, the reference of that part), and a key field that holds, in turn, the
// hash of its folded text, then a piece of its collation key.
struct GeneralLine {
    std::uint64_t key;
    std::uint64_t where;  // offset << kLengthBits | length (kLongLine: find the end)
};
constexpr int kLengthBits = 24;
constexpr std::uint64_t kLongLine = (std::uint64_t(1) << kLengthBits) - 1;

bool ByKey(const GeneralLine& a, const GeneralLine& b) {
    return a.key < b.key;
}

// Bytes [depth, depth + 8) of a collation key, which holds no 0 byte but its last, as a word
// whose integer order is the key order among keys that agree before depth; the bytes after the
// key's end are 0. The lowest byte is 0 exactly when the key ends within the word, so equal
// words with that byte 0 are equal keys. p points at byte depth, and the key must not have
// ended before it.
std::uint64_t KeyPiece(const char* p) {
    std::uint64_t piece = 0;
    for (int i = 0; i < 8; ++i) {
        const auto byte = static_cast<unsigned char>(p[i]);
        piece |= std::uint64_t(byte) << (56 - 8 * i);
        if (byte == 0) break;
    }
    return piece;
}

bool KeyEnds(std::uint64_t piece) {
    return (piece & 0xFF) == 0;
}

// Parts of collation keys, each after the place of its line, in blocks that never move, so
// that a reference stays valid as more are added. One store per thread.
class KeyStore {
public:
    static constexpr int kOffsetBits = 20;
    static constexpr std::size_t kBlockSize = std::size_t(1) << kOffsetBits;

    static std::size_t EntrySize(std::size_t key_bytes) {
        return sizeof(std::uint64_t) + key_bytes;
    }

    // Gives the reference of the stored key.
    std::uint64_t Add(std::uint64_t where, std::string_view key) {
        const std::size_t size = EntrySize(key.size());
        if (blocks_.empty() || used_ + size > block_size_) {
            block_size_ = std::max(kBlockSize, size);
            blocks_.push_back(std::make_unique_for_overwrite<char[]>(block_size_));
            used_ = 0;
        }
        char* const entry = blocks_.back().get() + used_;
        std::memcpy(entry, &where, sizeof where);
        std::memcpy(entry + sizeof where, key.data(), key.size());
        const std::uint64_t ref = std::uint64_t(blocks_.size() - 1) << kOffsetBits | used_;
        used_ += size;
        bytes_ += size;
        return ref;
    }

    std::uint64_t Where(std::uint64_t ref) const {
        std::uint64_t where;
        std::memcpy(&where, Entry(ref), sizeof where);
        return where;
    }
    const char* Key(std::uint64_t ref) const { return Entry(ref) + sizeof(std::uint64_t); }
    // The bytes of the keys stored, places included.
    std::size_t Bytes() const { return bytes_; }

private:
    const char* Entry(std::uint64_t ref) const {
        return blocks_[ref >> kOffsetBits].get() + (ref & (kBlockSize - 1));
    }

    std::vector<std::unique_ptr<char[]>> blocks_;
    std::size_t block_size_ = 0;
    std::size_t used_ = 0;
    std::size_t bytes_ = 0;
};

// The stores of all threads; a reference names its store in its top byte.
class StoredKeys {
public:
    explicit StoredKeys(std::size_t count) : stores_(count) {}
    KeyStore& Store(std::size_t i) { return stores_[i]; }
    static std::uint64_t Ref(std::size_t store, std::uint64_t ref) {
        return std::uint64_t(store) << 56 | ref;
    }
    std::uint64_t Where(std::uint64_t ref) const { return Of(ref).Where(ref & kRefMask); }
    const char* Key(std::uint64_t ref) const { return Of(ref).Key(ref & kRefMask); }

private:
    static constexpr std::uint64_t kRefMask = (std::uint64_t(1) << 56) - 1;
    const KeyStore& Of(std::uint64_t ref) const { return stores_[ref >> 56]; }
    std::vector<KeyStore> stores_;
};

std::string_view LineAt(std::string_view text, std::uint64_t where) {
    const std::size_t offset = std::size_t(where >> kLengthBits);
    std::size_t length = std::size_t(where & kLongLine);
    if (length == kLongLine) {
        length = std::min(text.find_first_of("\r\n", offset), text.size()) - offset;
    }
    return text.substr(offset, length);
}

GeneralLine LineEntry(std::string_view text, std::string_view line, std::uint64_t hash) {
    const std::uint64_t offset = std::uint64_t(line.data() - text.data());
    return {hash, offset << kLengthBits | std::min<std::uint64_t>(line.size(), kLongLine)};
}

// The first of each set of equal lines, in the order met, and an open-addressing table of
// their numbers by the hash of their folded units, kept at most 3/4 full. A probe looks at a
// line's text only when the line's hash is its own.
class LineTable {
public:
    // most bounds the number of lines; reserved room that stays unused costs nothing.
    LineTable(std::string_view text, std::size_t most) : text_(text) { lines_.reserve(most); }

    // Adds the lines of pending that take ok unless an equal line is there, in their order.
    // What a line's probe will look at is fetched some lines ahead, a step at a time (its
    // slots, the lines they name, the text of the line with its hash), so that fetches overlap
    // rather than come one after another.
    template <class Take>
    void AddAll(std::span<const GeneralLine> pending, Take&& take) {
        constexpr std::size_t kAhead = 16;
        const auto ahead = [&](std::size_t i, std::size_t by) {
            return i + by < pending.size() && take(pending[i + by]);
        };
        for (std::size_t i = 0; i < pending.size(); ++i) {
            if (ahead(i, kAhead)) Fetch(pending[i + kAhead].key, Step::kSlot);
            if (ahead(i, kAhead / 2)) Fetch(pending[i + kAhead / 2].key, Step::kLine);
            if (ahead(i, kAhead / 4)) Fetch(pending[i + kAhead / 4].key, Step::kText);
            if (take(pending[i])) Add(pending[i]);
        }
    }

    std::vector<GeneralLine>& lines() { return lines_; }

    // Frees all memory.
    void Clear() {
        std::vector<GeneralLine>().swap(lines_);
        std::vector<std::uint32_t>().swap(slots_);
    }

private:
    enum class Step { kSlot, kLine, kText };

    void Add(const GeneralLine& entry) {
        if ((lines_.size() + 1) * 4 > slots_.size() * 3) Grow();
        const std::string_view line = LineAt(text_, entry.where);
        const std::size_t mask = slots_.size() - 1;
        std::size_t slot = SlotOf(entry.key);
        for (; slots_[slot] != 0; slot = (slot + 1) & mask) {
            const GeneralLine& seen = lines_[slots_[slot] - 1];
            if (seen.key != entry.key) continue;
            const std::string_view other = LineAt(text_, seen.where);
            if (other == line) return;
            if (IsAscii(line) && IsAscii(other)) {
                if (AsciiEqualIgnoringCase(line, other)) return;
                continue;
            }
            LocaleCollation::Fold(line, folded_);
            LocaleCollation::Fold(other, other_folded_);
            if (folded_ == other_folded_) return;
        }
        lines_.push_back(entry);
        slots_[slot] = std::uint32_t(lines_.size());
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
            const GeneralLine& seen = lines_[slots_[slot] - 1];
            if (step == Step::kLine) {
                __builtin_prefetch(&seen);
            } else if (seen.key == hash) {
                __builtin_prefetch(text_.data() + (seen.where >> kLengthBits));
                return;
            }
        }
    }

    void Grow() {
        slots_.assign(std::max<std::size_t>(1024, slots_.size() * 2), 0);
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
    std::u16string folded_;
    std::u16string other_folded_;
};

// The first position at or after from where a line starts (or the end of text): just after
// an LF, or after a CR that no LF follows.
std::size_t LineStartFrom(std::string_view text, std::size_t from) {
    if (from == 0) return 0;
    for (std::size_t p = from; p < text.size(); ++p) {
        if (text[p - 1] == '\n' || (text[p - 1] == '\r' && text[p] != '\n')) return p;
    }
    return text.size();
}

// Runs work(i) for every i below count, each but the first on a thread of its own; the first
// error any of them raises is raised when all have ended.
template <class Work>
void RunParallel(std::size_t count, Work&& work) {
    if (count == 1) {
        work(std::size_t(0));
        return;
    }
    std::vector<std::exception_ptr> errors(count);
    const auto run = [&](std::size_t i) {
        try {
            work(i);
        } catch (...) {
            errors[i] = std::current_exception();
        }
    };
    {
        std::vector<std::jthread> threads;
        threads.reserve(count - 1);
        for (std::size_t i = 1; i < count; ++i) {
            try {
                threads.push_back(StartThread([&run, i] { run(i); }));
            } catch (const ThreadStartError&) {
                run(i);  // no thread to be had: this one does that share too
            }
        }
        run(0);
    }
    for (const std::exception_ptr& e : errors) {
        if (e) std::rethrow_exception(e);
    }
}

// Lines per thread below which a thread of its own is not worth starting; text is collected
// in rounds of so many bytes per thread.
constexpr std::size_t kLinesPerThread = 256;
constexpr std::size_t kBytesPerThread = 4096;
constexpr std::size_t kRoundBytesPerThread = std::size_t(256) << 10;

// Lines that agree on a piece of their keys and are no more than these are sorted by comparing
// them whole when their keys do not fit the budget.
constexpr std::size_t kFewLines = 8;
// Bytes of a key kept beside the piece in the line, at the least. With those, nearly all
// lines differ before their keys have to be made again.
constexpr std::size_t kLeastKeptBytes = 16;

class LineSorter {
public:
    LineSorter(std::string text, const LocaleCollation& collation, std::size_t key_budget,
               unsigned threads)
        : text_(std::move(text)),
          collation_(collation),
          key_budget_(key_budget),
          threads_(threads) {
        if (const std::size_t nul = text_.find('\0'); nul != std::string::npos) {
            text_.resize(nul);
        }
        if (key_budget_ == 0)
            key_budget_ = std::max<std::size_t>(text_.size(), std::size_t(4) << 20);
        if (threads_ == 0) threads_ = std::max(1u, std::thread::hardware_concurrency());
    }

    std::size_t Write(BufferedWriter& out) {
        Collect();
        if (general_.empty()) std::string().swap(text_);
        RadixSort(digits_);
        digits_.erase(std::unique(digits_.begin(), digits_.end()), digits_.end());
        Sort(general_);
        return WriteMerged(out);
    }

private:
    std::string_view LineAt(std::uint64_t where) const { return haojian::LineAt(text_, where); }

    // One thread's share of collecting: the digit lines of its pieces of text, the hashed
    // other lines of its piece of this round, and the first of each set of equal lines among
    // those whose hash falls to it.
    struct Collector {
        Collector(std::string_view text, std::size_t most) : table(text, most) {}
        std::vector<std::uint64_t> digits;
        std::vector<GeneralLine> pending;
        LineTable table;
        std::u16string folded;
    };

    // Digit lines to digits_, one word each; other lines to general_, the first of each set
    // of equal lines only, in no particular order. The text goes in rounds; in each, every
    // thread hashes the lines of a piece, then keeps the first of the equal lines of all
    // pieces whose hash falls to it, in text order.
    void Collect() {
        const std::size_t parts =
            std::clamp<std::size_t>(text_.size() / kBytesPerThread, 1, threads_);
        // Line ends bound the number of lines.
        const std::size_t most =
            std::size_t(std::count_if(text_.begin(), text_.end(),
                                      [](char c) { return c == '\r' || c == '\n'; })) +
            1;
        digits_.reserve(most);
        std::vector<Collector> collectors;
        collectors.reserve(parts);
        for (std::size_t i = 0; i < parts; ++i) collectors.emplace_back(text_, most);
        std::vector<std::size_t> cuts(parts + 1);
        for (std::size_t start = 0; start < text_.size();) {
            const std::size_t end = LineStartFrom(text_, start + parts * kRoundBytesPerThread);
            cuts[0] = start;
            for (std::size_t i = 1; i < parts; ++i) {
                cuts[i] =
                    LineStartFrom(text_, std::max(cuts[i - 1], start + (end - start) * i / parts));
            }
            cuts[parts] = end;
            RunParallel(parts, [&](std::size_t i) {
                Hash(std::string_view(text_).substr(cuts[i], cuts[i + 1] - cuts[i]), collectors[i]);
            });
            for (const Collector& c : collectors) {
                digits_.insert(digits_.end(), c.digits.begin(), c.digits.end());
            }
            RunParallel(parts, [&](std::size_t i) {
                for (const Collector& from : collectors) {
                    collectors[i].table.AddAll(from.pending, [&](const GeneralLine& l) {
                        return std::size_t(l.key >> 32) % parts == i;
                    });
                }
            });
            start = end;
        }
        // The first table's room takes the others' lines.
        general_ = std::move(collectors[0].table.lines());
        for (Collector& c : collectors) {
            if (&c != &collectors[0]) {
                general_.insert(general_.end(), c.table.lines().begin(), c.table.lines().end());
            }
            c.table.Clear();
            std::vector<GeneralLine>().swap(c.pending);
        }
    }

    // Digit lines of piece to c.digits; other lines, with the hash of their folded units, to
    // c.pending in order.
    void Hash(std::string_view piece, Collector& c) const {
        c.digits.clear();
        c.pending.clear();
        ForEachLine(piece, [&](std::string_view line) {
            std::uint64_t key;
            if (DigitKey(line, &key)) {
                c.digits.push_back(key);
                return;
            }
            std::uint64_t hash;
            if (IsAscii(line)) {
                hash = AsciiFoldedHash(line);
            } else {
                LocaleCollation::Fold(line, c.folded);
                hash = UnitsHash(c.folded);
            }
            c.pending.push_back(LineEntry(text_, line, hash));
        });
    }

    // Splits lines into parts, one per thread, none too short to be worth a thread.
    struct Parts {
        Parts(std::span<GeneralLine> lines, std::size_t threads)
            : lines(lines),
              count(std::clamp<std::size_t>(lines.size() / kLinesPerThread, 1, threads)),
              step((lines.size() + count - 1) / count) {}
        std::span<GeneralLine> operator[](std::size_t i) const {
            const std::size_t first = std::min(i * step, lines.size());
            return lines.subspan(first, std::min(step, lines.size() - first));
        }
        std::span<GeneralLine> lines;
        std::size_t count;
        std::size_t step;
    };

    LocaleCollation::KeyWriter& Writer(std::size_t i) {
        while (writers_.size() <= i) {
            writers_.push_back(std::make_unique<LocaleCollation::KeyWriter>(collation_));
        }
        return *writers_[i];
    }

    // Runs work(part, i) on every part, each but the first on a thread of its own. Part i
    // may use Writer(i).
    template <class Work>
    void InParallel(const Parts& parts, Work&& work) {
        Writer(parts.count - 1);
        RunParallel(parts.count, [&](std::size_t i) { work(parts[i], i); });
    }

    struct Todo {
        std::span<GeneralLine> lines;
        std::size_t depth;  // the lines' keys agree before this byte
    };

    // Puts lines in the order of their collation keys, taken a piece at a time. Keys are made
    // once and kept, as much of each as the budget allows, when at least the first pieces of
    // them fit; else they are made again for every piece until the lines that still agree are
    // few enough for their keys to fit, or so few that comparing them whole costs less than
    // taking their keys apart (as with long lines alike for long).
    void Sort(std::span<GeneralLine> all) {
        if (all.size() < 2) return;
        std::vector<Todo> todo;
        if (!SortByKeptKeys(all, 0, todo)) SortByPieces(all, 0, todo);
        while (!todo.empty()) {
            const Todo t = todo.back();
            todo.pop_back();
            if (t.lines.size() <= kFewLines) {
                std::sort(t.lines.begin(), t.lines.end(),
                          [&](const GeneralLine& a, const GeneralLine& b) {
                              return collation_.Less(LineAt(a.where), LineAt(b.where));
                          });
                continue;
            }
            if (t.lines.size() * KeyStore::EntrySize(kLeastKeptBytes) <= key_budget_ &&
                SortByKeptKeys(t.lines, t.depth, todo)) {
                continue;
            }
            SortByPieces(t.lines, t.depth, todo);
        }
    }

    // Sorts lines by the pieces at depth of keys made for the purpose; groups that agree
    // there and go on go to todo.
    void SortByPieces(std::span<GeneralLine> lines, std::size_t depth, std::vector<Todo>& todo) {
        InParallel(Parts(lines, threads_), [&](std::span<GeneralLine> part, std::size_t i) {
            LocaleCollation::KeyWriter& writer = Writer(i);
            for (GeneralLine& l : part) {
                l.key = KeyPiece(writer.CollationKey(LineAt(l.where)).data() + depth);
            }
        });
        ForEachGroup(lines, [&](std::span<GeneralLine> group) {
            if (KeyEnds(group.front().key)) {
                SortTies(group, [](std::uint64_t where) { return where; });
            } else {
                todo.push_back({group, depth + 8});
            }
        });
    }

    // Sorts lines by key and calls f on every run of two or more lines with equal keys.
    template <class F>
    static void ForEachGroup(std::span<GeneralLine> lines, F&& f) {
        std::sort(lines.begin(), lines.end(), ByKey);
        for (std::size_t first = 0; first < lines.size();) {
            std::size_t end = first + 1;
            while (end < lines.size() && lines[end].key == lines[first].key) ++end;
            if (end - first > 1) f(lines.subspan(first, end - first));
            first = end;
        }
    }

    // Sorts lines, whose keys agree before depth, by their keys made once: the piece at depth
    // in the lines themselves, and as many bytes after it as the budget allows kept aside.
    // Lines that still agree where the kept bytes end go to todo. False, with the lines as they
    // were, when the kept bytes outgrow the budget.
    bool SortByKeptKeys(std::span<GeneralLine> lines, std::size_t depth, std::vector<Todo>& todo) {
        const Parts parts(lines, threads_);
        const std::size_t share = key_budget_ / parts.count;
        // Whole pieces: of all lines, the least (few agree beyond it); of the fewer lines that
        // do, as much as the budget allows.
        const std::size_t per_line = key_budget_ / lines.size();
        const std::size_t kept =
            depth == 0 ? kLeastKeptBytes
                       : std::max(kLeastKeptBytes, (per_line > 8 ? per_line - 8 : 0) / 8 * 8);
        StoredKeys keys(parts.count);
        std::vector<std::size_t> done(parts.count, 0);
        std::atomic<bool> over_budget = false;
        InParallel(parts, [&](std::span<GeneralLine> part, std::size_t i) {
            LocaleCollation::KeyWriter& writer = Writer(i);
            KeyStore& store = keys.Store(i);
            for (GeneralLine& l : part) {
                if (over_budget.load(std::memory_order_relaxed)) return;
                const std::string_view key = writer.CollationKey(LineAt(l.where));
                const std::string_view rest =
                    key.substr(std::min(depth + 8, key.size())).substr(0, kept);
                if (store.Bytes() + KeyStore::EntrySize(rest.size()) > share) {
                    over_budget = true;
                    return;
                }
                const std::uint64_t ref = StoredKeys::Ref(i, store.Add(l.where, rest));
                l.key = KeyPiece(key.data() + depth);
                l.where = ref;
                ++done[i];
            }
        });
        if (over_budget) {
            for (std::size_t i = 0; i < parts.count; ++i) {
                for (GeneralLine& l : parts[i].first(done[i])) l.where = keys.Where(l.where);
            }
            return false;
        }
        const std::vector<std::span<GeneralLine>> ranges = SplitByKey(lines, parts.count);
        std::vector<std::vector<Todo>> beyond(ranges.size());
        RunParallel(ranges.size(), [&](std::size_t i) {
            std::vector<Todo> here = {{ranges[i], depth}};
            while (!here.empty()) {
                const Todo t = here.back();
                here.pop_back();
                ForEachGroup(t.lines, [&](std::span<GeneralLine> group) {
                    if (KeyEnds(group.front().key)) {
                        SortTies(group, [&](std::uint64_t ref) { return keys.Where(ref); });
                        return;
                    }
                    const std::size_t next = t.depth + 8;
                    if (next - depth > kept) {
                        beyond[i].push_back({group, next});
                        return;
                    }
                    for (GeneralLine& l : group) {
                        l.key = KeyPiece(keys.Key(l.where) + (next - depth - 8));
                    }
                    here.push_back({group, next});
                });
            }
        });
        InParallel(parts, [&](std::span<GeneralLine> part, std::size_t) {
            for (GeneralLine& l : part) l.where = keys.Where(l.where);
        });
        for (const std::vector<Todo>& b : beyond) todo.insert(todo.end(), b.begin(), b.end());
        return true;
    }

    // Splits lines into at most count ranges of about equal size, every key of a range below
    // every key of the next, so that each range can be sorted on its own.
    static std::vector<std::span<GeneralLine>> SplitByKey(std::span<GeneralLine> lines,
                                                          std::size_t count) {
        std::vector<std::span<GeneralLine>> ranges;
        std::span<GeneralLine> rest = lines;
        for (std::size_t left = count; left > 1 && rest.size() > 1; --left) {
            const auto nth = rest.begin() + std::ptrdiff_t(rest.size() / left);
            std::nth_element(rest.begin(), nth, rest.end(), ByKey);
            const std::uint64_t pivot = nth->key;
            // Lines with the pivot's key, on both sides of nth, all go to this range.
            const auto end = std::partition(nth, rest.end(),
                                            [&](const GeneralLine& l) { return l.key == pivot; });
            const std::size_t size = std::size_t(end - rest.begin());
            ranges.push_back(rest.first(size));
            rest = rest.subspan(size);
        }
        if (!rest.empty()) ranges.push_back(rest);
        return ranges;
    }

    // Orders lines whose collation keys are equal by their folded code units, in code point
    // order. No two have equal units: those were found equal when collected.
    template <class WhereOf>
    void SortTies(std::span<GeneralLine> lines, WhereOf&& where_of) {
        std::vector<std::pair<std::u16string, GeneralLine>> folded(lines.size());
        for (std::size_t i = 0; i < lines.size(); ++i) {
            LocaleCollation::Fold(LineAt(where_of(lines[i].where)), folded[i].first);
            folded[i].second = lines[i];
        }
        std::sort(folded.begin(), folded.end(), [](const auto& a, const auto& b) {
            return u_strCompare(a.first.data(), int32_t(a.first.size()), b.first.data(),
                                int32_t(b.first.size()), true) < 0;
        });
        for (std::size_t i = 0; i < lines.size(); ++i) lines[i] = folded[i].second;
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
    std::size_t threads_;
    std::vector<std::unique_ptr<LocaleCollation::KeyWriter>> writers_;  // one per thread
    std::vector<std::uint64_t> digits_;
    std::vector<GeneralLine> general_;
};

}  // namespace

std::size_t WriteSortedUniqueLines(std::string text, const LocaleCollation& collation,
                                   BufferedWriter& out, std::size_t key_budget, unsigned threads) {
    return LineSorter(std::move(text), collation, key_budget, threads).Write(out);
}

}  // namespace haojian
