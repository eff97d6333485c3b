#include "core/merge/unique_lines.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "core/base/huge_pages.h"
#include "core/base/own_cache_line.h"
#include "core/collation/collation.h"
#include "core/files/buffered_writer.h"
#include "core/merge/digit_lines.h"
#include "core/merge/gallop.h"
#include "core/merge/key_store.h"
#include "core/merge/line_table.h"
#include "core/text/line_list.h"
#include "core/text/nul_byte.h"
#include "core/text/text_encoding.h"
#include "core/threads/parallel_crew.h"
#include "core/threads/run_parallel.h"

namespace haojian {
namespace {

using namespace sorting;

// Lines per thread below which a thread of its own is not worth starting; text is collected
// in rounds of so many bytes per thread.
constexpr std::size_t kLinesPerThread = 256;
constexpr std::size_t kBytesPerThread = 4096;
constexpr std::size_t kRoundBytesPerThread = std::size_t(1) << 20;

// Lines that agree on a piece of their keys and are no more than these are sorted by comparing
// them whole when their keys do not fit the budget.
constexpr std::size_t kFewLines = 8;
// Bytes of a key kept beside the piece in the line, at the least. With those, nearly all
// lines differ before their keys have to be made again.
constexpr std::size_t kLeastKeptBytes = 16;

class LineSorter {
public:
    LineSorter(std::string text, const LocaleCollation& collation, std::size_t key_budget,
               unsigned threads, std::size_t longest_keyed_line)
        : text_(std::move(text)),
          collation_(collation),
          key_budget_(key_budget),
          threads_(threads),
          longest_keyed_line_(longest_keyed_line) {
        if (const std::size_t nul = FindNul(text_); nul != std::string::npos) {
            text_.resize(nul);
        }
        if (key_budget_ == 0)
            key_budget_ = std::max<std::size_t>(text_.size(), std::size_t(4) << 20);
        if (threads_ == 0) threads_ = std::max(1u, std::thread::hardware_concurrency());
    }

    std::size_t Write(BufferedWriter& out) {
        Sort();
        return WriteMerged(out);
    }

    std::size_t WriteApart(SortedLineSink& sink) {
        Sort();
        sink.DigitWords(digits_);
        for (std::size_t k = 0; k < general_.size(); ++k) {
            FetchAhead(general_, k);
            sink.Line(LineAt(general_[k].where));
        }
        return digits_.size() + general_.size();
    }

private:
    // Collects the lines and puts both kinds in order, each line once.
    void Sort() {
        Collect();
        if (general_.empty()) std::string().swap(text_);
        digits_ = SortedUniqueWords(std::move(digit_runs_));
        // Lines too long for keys of their own are ordered by comparing them whole, then put
        // among the others.
        const auto long_lines = std::partition(general_.begin(), general_.end(), [&](auto& l) {
            return LineAt(l.where).size() <= longest_keyed_line_;
        });
        std::vector<GeneralLine> long_ones(long_lines, general_.end());
        general_.erase(long_lines, general_.end());
        SortGeneral(general_);
        std::sort(long_ones.begin(), long_ones.end(),
                  [&](const GeneralLine& a, const GeneralLine& b) { return Less(a, b); });
        InsertSorted(long_ones);
    }

    std::string_view LineAt(std::uint64_t where) const { return sorting::LineAt(text_, where); }

    // Lines are visited in an order of their own, far apart in the text: the text of the one
    // kLinesAhead on is fetched while this one is worked on.
    static constexpr std::size_t kLinesAhead = 12;
    void FetchAhead(std::span<const GeneralLine> lines, std::size_t i) const {
        if (i + kLinesAhead < lines.size()) {
            __builtin_prefetch(text_.data() + (lines[i + kLinesAhead].where >> kLengthBits));
        }
    }

    bool Less(const GeneralLine& a, const GeneralLine& b) const {
        return collation_.Less(LineAt(a.where), LineAt(b.where));
    }

    // Puts the sorted lines among the sorted general_, each where a bisection finds its place.
    void InsertSorted(const std::vector<GeneralLine>& lines) {
        if (lines.empty()) return;
        std::vector<std::size_t> places(lines.size());
        std::size_t from = 0;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            from = std::size_t(
                std::upper_bound(
                    general_.begin() + std::ptrdiff_t(from), general_.end(), lines[i],
                    [&](const GeneralLine& a, const GeneralLine& b) { return Less(a, b); }) -
                general_.begin());
            places[i] = from;
        }
        // From the back, each line of general_ moves up by the number of lines placed before it.
        std::size_t end = general_.size();
        general_.resize(general_.size() + lines.size());
        for (std::size_t i = lines.size(); i-- > 0;) {
            std::move_backward(general_.begin() + std::ptrdiff_t(places[i]),
                               general_.begin() + std::ptrdiff_t(end),
                               general_.begin() + std::ptrdiff_t(end + i + 1));
            general_[places[i] + i] = lines[i];
            end = places[i];
        }
    }

    // One thread's share of collecting: the digit lines of its pieces of text, the hashed
    // other lines of its piece of this round by the table their hash falls to, and the table of
    // the first of each set of equal lines among those whose hash falls to it.
    // Each on cache lines of its own, as each is written by its own thread.
    struct alignas(kCacheLine) Collector {
        Collector(std::string_view text, std::size_t tables) : pending(tables), table(text) {}
        std::vector<std::uint64_t> digits;
        std::vector<OwnCacheLine<std::vector<GeneralLine>>> pending;
        LineTable table;
    };

    // Digit lines to digit_runs_, one word each, a run per thread; other lines to general_, the
    // first of each set of equal lines only, in no particular order. The text goes in rounds; in
    // each, every thread hashes the lines of a piece, then keeps the first of the equal lines of
    // all pieces whose hash falls to it, in text order.
    void Collect() {
        const std::size_t parts =
            std::clamp<std::size_t>(text_.size() / kBytesPerThread, 1, threads_);
        std::vector<Collector> collectors;
        collectors.reserve(parts);
        for (std::size_t i = 0; i < parts; ++i) collectors.emplace_back(text_, parts);
        std::vector<std::size_t> cuts(parts + 1);
        ParallelCrew crew(parts);  // the same threads for every round
        for (std::size_t start = 0; start < text_.size();) {
            const std::size_t end = LineStartFrom(text_, start + parts * kRoundBytesPerThread);
            cuts[0] = start;
            for (std::size_t i = 1; i < parts; ++i) {
                cuts[i] =
                    LineStartFrom(text_, std::max(cuts[i - 1], start + (end - start) * i / parts));
            }
            cuts[parts] = end;
            std::atomic<bool> pending = false;
            crew.Run(parts, [&](std::size_t i) {
                if (Hash(std::string_view(text_).substr(cuts[i], cuts[i + 1] - cuts[i]),
                         collectors[i])) {
                    pending = true;
                }
            });
            if (start == 0) ReserveDigitRuns(collectors, double(text_.size()) / double(end));
            if (pending) {
                crew.Run(parts, [&](std::size_t i) {
                    for (const Collector& from : collectors) {
                        collectors[i].table.AddAll(from.pending[i].value);
                    }
                });
            }
            start = end;
        }
        for (Collector& c : collectors) digit_runs_.push_back(std::move(c.digits));
        // The first table's room takes the others' lines.
        general_ = std::move(collectors[0].table.lines());
        std::size_t total = 0;
        for (Collector& c : collectors) total += c.table.lines().size();
        ReserveHuge(general_, total);
        for (Collector& c : collectors) {
            if (&c != &collectors[0]) {
                general_.insert(general_.end(), c.table.lines().begin(), c.table.lines().end());
            }
            c.table.Clear();
            c.pending.clear();
        }
    }

    // Makes room at once in each thread's run of digit words for as many as its first round,
    // scaled by the text's size to that round's, suggests, so that runs seldom move as they grow.
    static void ReserveDigitRuns(std::vector<Collector>& collectors, double scale) {
        for (Collector& c : collectors) {
            const double expected = double(c.digits.size()) * scale * 1.1;
            ReserveHuge(c.digits, std::size_t(expected) + kRoundBytesPerThread + 1);
        }
    }

    // Digit lines of piece to c.digits; other lines, with the hash of their folded units, in
    // order to the pending list of the table their hash falls to. Gives whether there are such.
    bool Hash(std::string_view piece, Collector& c) const {
        // Room for a word a byte, the most the piece can hold, so that none moves meanwhile.
        if (c.digits.capacity() - c.digits.size() <= piece.size()) {
            ReserveHuge(c.digits,
                        std::max(2 * c.digits.capacity(), c.digits.size() + piece.size() + 1));
        }
        bool any = false;
        for (auto& p : c.pending) p.value.clear();
        ForEachLine(piece, [&](std::string_view line) {
            std::uint64_t key;
            if (DigitKey(line, &key)) {
                c.digits.push_back(key);
                return;
            }
            const std::uint64_t hash = LocaleCollation::FoldedHash(line);
            c.pending[std::size_t(hash >> 32) % c.pending.size()].value.push_back(
                LineEntry(text_, line, hash));
            any = true;
        });
        return any;
    }

    // Splits lines into parts, one per thread, none too short to be worth a thread.
    struct Parts {
        Parts(std::span<GeneralLine> all, std::size_t threads)
            : lines(all),
              count(std::clamp<std::size_t>(all.size() / kLinesPerThread, 1, threads)),
              step((all.size() + count - 1) / count) {}
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
    void SortGeneral(std::span<GeneralLine> all) {
        if (all.size() < 2) return;
        std::vector<Todo> todo;
        // Simple keys when every line has one (the first keys made look at every line whole);
        // else the collation's own, from the start.
        simple_keys_ = true;
        not_simple_ = false;
        FirstPass(all, todo);
        if (not_simple_) {
            simple_keys_ = false;
            not_simple_ = false;
            todo.clear();
            FirstPass(all, todo);
        }
        while (!todo.empty()) {
            const Todo t = todo.back();
            todo.pop_back();
            if (SortByWholeSimpleKeys(t.lines, Writer(0), [](std::uint64_t w) { return w; })) {
                continue;
            }
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

    // When this sort goes by simple keys, sorts lines no more than a thread's share by their
    // whole simple keys, which cost less to make than comparing the lines through the
    // collation or taking keys apart; lines whose keys are equal are ordered as collation ties.
    // False, with the lines as they were, otherwise or when one has no simple key.
    template <class WhereOf>
    bool SortByWholeSimpleKeys(std::span<GeneralLine> lines, LocaleCollation::KeyWriter& writer,
                               WhereOf&& where_of) {
        if (!simple_keys_ || lines.size() > kLinesPerThread) return false;
        // The texts stand far apart: all are fetched before the first is read.
        for (const GeneralLine& l : lines) {
            __builtin_prefetch(text_.data() + (where_of(l.where) >> kLengthBits));
        }
        std::vector<std::pair<std::string, GeneralLine>> keyed;
        keyed.reserve(lines.size());
        for (const GeneralLine& l : lines) {
            const auto key = writer.SimpleKeyPrefix(LineAt(where_of(l.where)), SIZE_MAX);
            if (!key) return false;
            keyed.emplace_back(*key, l);
        }
        std::sort(keyed.begin(), keyed.end(),
                  [](const auto& a, const auto& b) { return a.first < b.first; });
        for (std::size_t i = 0; i < lines.size(); ++i) lines[i] = keyed[i].second;
        for (std::size_t first = 0; first < lines.size();) {
            std::size_t end = first + 1;
            while (end < lines.size() && keyed[end].first == keyed[first].first) ++end;
            if (end - first > 1) SortTies(lines.subspan(first, end - first), where_of);
            first = end;
        }
        return true;
    }

    // The keys of every line made and sorted by as far as they go at first; groups that agree
    // beyond go to todo. Stops early, with not_simple_ set and the lines as they were, when simple
    // keys are wanted and a line has none.
    void FirstPass(std::span<GeneralLine> all, std::vector<Todo>& todo) {
        if (!SortByKeptKeys(all, 0, todo) && !not_simple_) SortByPieces(all, 0, todo);
    }

    // The first bytes of the key of text, of the kind this sort uses; none when simple keys are
    // wanted and text has none (not_simple_ is then set).
    std::optional<std::string_view> KeyPrefix(LocaleCollation::KeyWriter& writer,
                                              std::string_view text, std::size_t bytes) {
        if (!simple_keys_) return writer.CollationKeyPrefix(text, bytes);
        const std::optional<std::string_view> key = writer.SimpleKeyPrefix(text, bytes);
        if (!key) not_simple_.store(true, std::memory_order_relaxed);
        return key;
    }

    // Sorts lines by the pieces at depth of keys made for the purpose; groups that agree
    // there and go on go to todo.
    void SortByPieces(std::span<GeneralLine> lines, std::size_t depth, std::vector<Todo>& todo) {
        InParallel(Parts(lines, threads_), [&](std::span<GeneralLine> part, std::size_t i) {
            LocaleCollation::KeyWriter& writer = Writer(i);
            for (std::size_t k = 0; k < part.size(); ++k) {
                FetchAhead(part, k);
                GeneralLine& l = part[k];
                const auto key = KeyPrefix(writer, LineAt(l.where), depth + 8);
                if (!key) return;
                l.key = KeyPiece(key->data() + depth);
            }
        });
        if (not_simple_) return;
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
            // Counted here and stored once: the counts of the threads share a cache line.
            std::size_t k = 0;
            for (; k < part.size(); ++k) {
                if (over_budget.load(std::memory_order_relaxed) ||
                    not_simple_.load(std::memory_order_relaxed)) {
                    break;
                }
                FetchAhead(part, k);
                GeneralLine& l = part[k];
                const std::optional<std::string_view> made =
                    KeyPrefix(writer, LineAt(l.where), depth + 8 + kept);
                if (!made) break;
                const std::string_view key = *made;
                const std::string_view rest =
                    key.substr(std::min(depth + 8, key.size())).substr(0, kept);
                if (store.Bytes() + KeyStore::EntrySize(rest.size()) > share) {
                    over_budget = true;
                    break;
                }
                const std::uint64_t ref = StoredKeys::Ref(i, store.Add(l.where, rest));
                l.key = KeyPiece(key.data() + depth);
                l.where = ref;
            }
            done[i] = k;
        });
        if (over_budget || not_simple_) {
            for (std::size_t i = 0; i < parts.count; ++i) {
                for (GeneralLine& l : parts[i].first(done[i])) l.where = keys.Where(l.where);
            }
            return false;
        }
        const std::vector<std::span<GeneralLine>> ranges = SplitByKey(lines, parts.count);
        std::vector<OwnCacheLine<std::vector<Todo>>> beyond(ranges.size());
        const auto where = [&](std::uint64_t ref) { return keys.Where(ref); };
        RunParallel(ranges.size(), [&](std::size_t i) {
            LocaleCollation::KeyWriter& writer = Writer(i);
            std::vector<Todo> here = {{ranges[i], depth}};
            while (!here.empty()) {
                const Todo t = here.back();
                here.pop_back();
                ForEachGroup(t.lines, [&](std::span<GeneralLine> group) {
                    if (KeyEnds(group.front().key)) {
                        SortTies(group, where);
                        return;
                    }
                    const std::size_t next = t.depth + 8;
                    if (next - depth > kept) {
                        if (!SortByWholeSimpleKeys(group, writer, where)) {
                            beyond[i].value.push_back({group, next});
                        }
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
        for (const auto& b : beyond) todo.insert(todo.end(), b.value.begin(), b.value.end());
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
            return CompareInCodePointOrder(a.first, b.first) < 0;
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
        for (std::size_t k = 0; k < general_.size(); ++k) {
            FetchAhead(general_, k);
            const std::string_view line = LineAt(general_[k].where);
            const std::size_t low =
                GallopPast(next, digit_count, [&](std::size_t i) { return digit_before(i, line); });
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
    std::size_t longest_keyed_line_;
    std::vector<std::unique_ptr<LocaleCollation::KeyWriter>> writers_;  // one per thread
    // Whether the sort goes by simple keys, and whether a line turned out to have none.
    bool simple_keys_ = false;
    std::atomic<bool> not_simple_ = false;
    std::vector<std::vector<std::uint64_t>> digit_runs_;  // each thread's, as collected
    std::vector<std::uint64_t> digits_;                   // sorted, each once
    std::vector<GeneralLine> general_;
};

}  // namespace

std::size_t WriteSortedUniqueLines(std::string text, const LocaleCollation& collation,
                                   BufferedWriter& out, std::size_t key_budget, unsigned threads,
                                   std::size_t longest_keyed_line) {
    return LineSorter(std::move(text), collation, key_budget, threads, longest_keyed_line)
        .Write(out);
}

std::size_t SortUniqueLinesApart(std::string text, const LocaleCollation& collation,
                                 SortedLineSink& sink, unsigned threads) {
    return LineSorter(std::move(text), collation, 0, threads, kLongestKeyedLine).WriteApart(sink);
}

}  // namespace haojian
