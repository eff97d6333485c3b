#pragma once

// The merge of sorted runs (see SortedRun): each kind of line merged on its own, each line
// once, of lines that compare equal the one of the earliest run, which holds the bytes met
// first in the input.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/collation/collation.h"
#include "core/files/buffered_writer.h"
#include "core/merge/loser_tree.h"
#include "core/merge/sorted_run.h"

namespace haojian::sorting {

// Where the runs of a merge are read from: block bytes of buffer per run and kind, the folder
// for failures, and a counter of the bytes read.
struct RunSources {
    std::span<SortedRun> runs;
    std::size_t block;
    const std::string& folder;
    const RunReader::Counter& counter;
};

// The digit words of the runs in order, each once.
class DigitMerge {
public:
    explicit DigitMerge(const RunSources& sources);
    // Replaces block's content with up to most of the next words; false when none are left.
    bool NextBlock(std::vector<std::uint64_t>& block, std::size_t most);

private:
    struct ByHead {
        const DigitMerge* merge;
        bool operator()(std::size_t a, std::size_t b) const {
            const std::uint64_t x = merge->heads_[a];
            const std::uint64_t y = merge->heads_[b];
            return x < y || (x == y && a < b);
        }
    };
    static constexpr std::uint64_t kEnded = ~std::uint64_t(0);  // no digit line packs to it

    std::vector<RunReader> readers_;
    std::vector<std::uint64_t> heads_;
    LoserTree<ByHead> tree_;
    bool any_ = false;
    std::uint64_t last_ = 0;
};

// The other lines of the runs in order, each once.
class LineMerge {
public:
    LineMerge(const RunSources& sources, const LocaleCollation& collation);
    // The next line, valid until the next call; false when none are left.
    bool Next(std::string_view& line);

private:
    // A line with the first bytes of its key as two words (see KeyPiece), of the kind the
    // merge uses for all lines at the moment: simple keys while every line met has one, else
    // the collation's own keys. Either orders lines as the collation does.
    struct Head {
        std::string_view line;
        std::uint64_t key[2] = {0, 0};
        bool ended = false;
    };
    struct ByHead {
        LineMerge* merge;
        bool operator()(std::size_t a, std::size_t b) const { return merge->Before(a, b); }
    };

    bool Before(std::size_t a, std::size_t b);
    void Advance(std::size_t s);
    void MakeKey(Head& head);
    void UseCollationKeys();
    bool Same(const Head& a, const Head& b) const;

    const LocaleCollation& collation_;
    std::unique_ptr<LocaleCollation::KeyWriter> writer_;
    bool simple_keys_ = true;
    std::vector<RunReader> readers_;
    std::vector<Head> heads_;
    Head last_;  // the line given last, its bytes in last_bytes_
    std::string last_bytes_;
    bool any_ = false;
    std::size_t advance_ = SIZE_MAX;  // the source whose head was given last
    std::unique_ptr<LoserTree<ByHead>> tree_;
};

// Merges the runs into one new run written to into.
SortedRun MergeRuns(const RunSources& sources, std::unique_ptr<TemporaryFile> into,
                    const LocaleCollation& collation);

// Writes the lines of the runs to out as the merge's result: in collation order, the digit
// lines among the others, each followed by CR LF. Gives their number.
std::size_t WriteMergedRuns(const RunSources& sources, const LocaleCollation& collation,
                            BufferedWriter& out);

}  // namespace haojian::sorting
