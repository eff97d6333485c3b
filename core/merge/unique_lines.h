#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace haojian {

class BufferedWriter;
class LocaleCollation;

// Splits text into lines by the line rule and writes its distinct lines to out in ascending
// order of collation, each followed by CR LF; of lines that compare equal, the bytes of the
// first in text are written. Gives the number of lines written.
//
// Lines of up to 16 ASCII digits are sorted as packed integers; other lines are de-duplicated
// by a hash of their case-folded text and ordered by keys, a few bytes at a time: simple keys
// (see SimpleKeyTable) when every line has one, else the collation's own sort keys. Lines that
// still agree where the kept keys end are sorted by their whole simple keys, or through the
// collation. Keys are made once and their first bytes kept while those fit key_budget bytes (0: the
// text's size, at least 4 MiB); keys are made again for the lines that agree beyond, or for
// all when the budget is too small, so that memory stays within about three times the size
// of text. The text is released as early as possible, hence taken by value. The work is shared
// among threads (0: one per processor); the result never depends on their number.
//
// Lines longer than longest_keyed_line bytes get no keys (the collation library counts a key's
// bytes in 32 bits): they are ordered by comparing them whole and put in their places among
// the others.
inline constexpr std::size_t kLongestKeyedLine = std::size_t(1) << 24;
std::size_t WriteSortedUniqueLines(std::string text, const LocaleCollation& collation,
                                   BufferedWriter& out, std::size_t key_budget = 0,
                                   unsigned threads = 0,
                                   std::size_t longest_keyed_line = kLongestKeyedLine);

// Takes the lines of a text sorted as WriteSortedUniqueLines writes them, the two kinds apart.
class SortedLineSink {
public:
    virtual ~SortedLineSink() = default;
    // Once, first: the lines of up to 16 ASCII digits as packed words (see DigitKey),
    // ascending, each once.
    virtual void DigitWords(std::span<const std::uint64_t> words) = 0;
    // Every other line, ascending in collation order, each once with the bytes of its first
    // occurrence.
    virtual void Line(std::string_view line) = 0;
};

// The sort of WriteSortedUniqueLines, the lines handed to sink instead of written; gives
// their number.
std::size_t SortUniqueLinesApart(std::string text, const LocaleCollation& collation,
                                 SortedLineSink& sink, unsigned threads = 0);

}  // namespace haojian
