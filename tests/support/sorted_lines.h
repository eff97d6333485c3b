#pragma once

#include <cstddef>
#include <random>
#include <string>

#include "core/merge/unique_lines.h"

namespace haojian::testing {

// WriteSortedUniqueLines on text with the default collation, written to a string; fails the
// test when the count it gives is not the number of lines written.
std::string SortedUnique(std::string text, std::size_t key_budget = 0, unsigned threads = 0,
                         std::size_t longest_keyed_line = kLongestKeyedLine);

// The plain rule: every line in order, kept unless an earlier one compares equal, then a
// stable sort by the comparison.
std::string ReferenceSortedUnique(const std::string& text);

// lines random lines with every kind of line end: digits, letters in both cases, GBK
// characters, full-width forms, undecodable bytes, empty lines and lines longer than usual.
std::string RandomLines(std::mt19937& rng, int lines, bool simple_only = false);

}  // namespace haojian::testing
