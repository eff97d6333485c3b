#include "core/merge/run_merge.h"

#include <algorithm>
#include <cstring>

#include "core/merge/digit_lines.h"
#include "core/merge/gallop.h"
#include "core/merge/key_store.h"
#include "core/text/same_bytes.h"

namespace haojian::sorting {
namespace {

// Digit words taken from their merge at a time.
constexpr std::size_t kDigitBlock = std::size_t(1) << 14;

}  // namespace

DigitMerge::DigitMerge(const RunSources& sources)
    : heads_(sources.runs.size(), kEnded), tree_(0, ByHead{this}) {
    readers_.reserve(sources.runs.size());
    for (std::size_t i = 0; i < sources.runs.size(); ++i) {
        SortedRun& run = sources.runs[i];
        readers_.emplace_back(*run.file, 0, run.digit_bytes, sources.block, sources.folder,
                              sources.counter);
        if (!readers_.back().NextWord(heads_[i])) heads_[i] = kEnded;
    }
    tree_ = LoserTree<ByHead>(heads_.size(), ByHead{this});
}

bool DigitMerge::NextBlock(std::vector<std::uint64_t>& block, std::size_t most) {
    block.clear();
    while (block.size() < most) {
        const std::size_t w = tree_.Winner();
        const std::uint64_t word = heads_[w];
        if (word == kEnded) break;
        if (!any_ || word != last_) {
            block.push_back(word);
            last_ = word;
            any_ = true;
        }
        if (!readers_[w].NextWord(heads_[w])) heads_[w] = kEnded;
        tree_.Replay(w);
    }
    return !block.empty();
}

LineMerge::LineMerge(const RunSources& sources, const LocaleCollation& collation)
    : collation_(collation),
      writer_(std::make_unique<LocaleCollation::KeyWriter>(collation)),
      heads_(sources.runs.size()) {
    readers_.reserve(sources.runs.size());
    for (std::size_t i = 0; i < sources.runs.size(); ++i) {
        SortedRun& run = sources.runs[i];
        readers_.emplace_back(*run.file, run.digit_bytes, run.end, sources.block, sources.folder,
                              sources.counter);
    }
    for (std::size_t i = 0; i < heads_.size(); ++i) Advance(i);
    tree_ = std::make_unique<LoserTree<ByHead>>(heads_.size(), ByHead{this});
}

bool LineMerge::Next(std::string_view& line) {
    for (;;) {
        if (advance_ != SIZE_MAX) {
            Advance(advance_);
            tree_->Replay(advance_);
            advance_ = SIZE_MAX;
        }
        const std::size_t w = tree_->Winner();
        const Head& head = heads_[w];
        if (head.ended) return false;
        advance_ = w;
        // Equal lines come one after another, the earliest run's first.
        if (any_ && Same(head, last_)) continue;
        last_bytes_.assign(head.line);
        last_ = head;
        last_.line = last_bytes_;
        any_ = true;
        line = head.line;
        return true;
    }
}

void LineMerge::Advance(std::size_t s) {
    Head& head = heads_[s];
    if (!readers_[s].NextLine(head.line)) {
        head = Head{};
        head.ended = true;
        return;
    }
    MakeKey(head);
}

void LineMerge::MakeKey(Head& head) {
    std::string_view key;
    if (simple_keys_) {
        const std::optional<std::string_view> simple = writer_->SimpleKeyPrefix(head.line, 16);
        if (!simple) {
            UseCollationKeys();
            return;
        }
        key = *simple;
    } else {
        key = writer_->CollationKeyPrefix(head.line, 16);
    }
    char padded[24] = {};
    std::memcpy(padded, key.data(), std::min<std::size_t>(key.size(), 16));
    head.key[0] = KeyPiece(padded);
    head.key[1] = KeyEnds(head.key[0]) ? 0 : KeyPiece(padded + 8);
}

// A line without a simple key: from now on every line is keyed by the collation, the lines at
// hand first, so that all keys compared are of one kind.
void LineMerge::UseCollationKeys() {
    simple_keys_ = false;
    for (Head& head : heads_) {
        if (!head.ended && head.line.data() != nullptr) MakeKey(head);
    }
    if (any_) MakeKey(last_);
}

bool LineMerge::Same(const Head& a, const Head& b) const {
    return a.key[0] == b.key[0] && a.key[1] == b.key[1] &&
           (SameBytes(a.line, b.line) || LocaleCollation::FoldedEqual(a.line, b.line));
}

bool LineMerge::Before(std::size_t a, std::size_t b) {
    const Head& x = heads_[a];
    const Head& y = heads_[b];
    if (x.ended || y.ended) return !x.ended || (y.ended && a < b);
    if (x.key[0] != y.key[0]) return x.key[0] < y.key[0];
    if (x.key[1] != y.key[1]) return x.key[1] < y.key[1];
    const int order =
        LocaleCollation::FoldedEqual(x.line, y.line) ? 0 : collation_.Compare(x.line, y.line);
    return order < 0 || (order == 0 && a < b);
}

SortedRun MergeRuns(const RunSources& sources, std::unique_ptr<TemporaryFile> into,
                    const LocaleCollation& collation) {
    RunWriter writer(std::move(into));
    {
        DigitMerge digits(sources);
        std::vector<std::uint64_t> block;
        while (digits.NextBlock(block, kDigitBlock)) writer.DigitWords(block);
    }
    LineMerge lines(sources, collation);
    std::string_view line;
    while (lines.Next(line)) writer.Line(line);
    return writer.Finish();
}

std::size_t WriteMergedRuns(const RunSources& sources, const LocaleCollation& collation,
                            BufferedWriter& out) {
    DigitMerge digits(sources);
    LineMerge lines(sources, collation);
    std::vector<std::uint64_t> block;
    std::size_t next = 0;  // the first word of block not yet written
    std::size_t count = 0;
    char text[kMaxDigitKeyLength];
    const auto write_digits = [&](std::size_t to) {
        for (; next < to; ++next) {
            char* p = out.Reserve(kMaxDigitKeyLength + 2);
            const std::size_t n = DecodeDigitKey(block[next], p);
            p[n] = '\r';
            p[n + 1] = '\n';
            out.Commit(n + 2);
        }
    };
    const auto digit_before = [&](std::size_t i, std::string_view line) {
        return collation.Compare(std::string_view(text, DecodeDigitKey(block[i], text)), line) < 0;
    };
    const auto refill = [&] {
        count += block.size();
        next = 0;
        return digits.NextBlock(block, kDigitBlock);
    };
    bool more_digits = refill();
    std::string_view line;
    while (lines.Next(line)) {
        ++count;
        // The digit lines before this one, found by galloping from the last place, block
        // after block.
        while (more_digits) {
            write_digits(GallopPast(next, block.size(),
                                    [&](std::size_t i) { return digit_before(i, line); }));
            if (next < block.size()) break;
            more_digits = refill();
        }
        out.AppendLine(line);
    }
    while (more_digits) {
        write_digits(block.size());
        more_digits = refill();
    }
    return count;
}

}  // namespace haojian::sorting
