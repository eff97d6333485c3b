#include "core/text/nul_byte.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace haojian {
namespace {

// Every NUL position around the edges of the blocks the search takes at once, every start,
// texts with many NULs and none, and bytes that are not NUL but small or high.
TEST(FindNul, AgreesWithThePlainSearchWhereverTheNulStands) {
    std::mt19937 rng(11);
    for (std::size_t size = 0; size <= 200; ++size) {
        std::string text(size, 'a');
        for (char& c : text) c = char(1 + rng() % 255);
        EXPECT_EQ(FindNul(text), std::string_view::npos) << size;
        for (std::size_t at = 0; at < size; ++at) {
            std::string with = text;
            with[at] = '\0';
            if (rng() % 4 == 0) with[rng() % size] = '\0';
            for (const std::size_t from : {std::size_t(0), at / 2, at, at + 1, size, size + 5}) {
                ASSERT_EQ(FindNul(with, from), std::string_view(with).find('\0', from))
                    << "size " << size << " at " << at << " from " << from;
            }
        }
    }
}

}  // namespace
}  // namespace haojian
