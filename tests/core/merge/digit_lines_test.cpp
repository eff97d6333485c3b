// Digit lines packed into words and written back as text, every length from the empty line to
// the longest, every digit in every place.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "core/merge/digit_lines.h"

namespace haojian::sorting {
namespace {

TEST(DigitKey, EveryLengthAndDigitComesBack) {
    std::mt19937 rng(16);
    for (std::size_t length = 0; length <= kMaxDigitKeyLength; ++length) {
        for (int round = 0; round < 50; ++round) {
            std::string line;
            for (std::size_t i = 0; i < length; ++i) line += char('0' + (round + i + rng()) % 10);
            if (round < 10) line.assign(length, char('0' + round));
            std::uint64_t key = 0;
            ASSERT_TRUE(DigitKey(line, &key));
            char out[kMaxDigitKeyLength];
            const std::size_t n = DecodeDigitKey(key, out);
            ASSERT_EQ(std::string(out, n), line);
        }
    }
}

}  // namespace
}  // namespace haojian::sorting
