#include "core/text/same_bytes.h"

#include <gtest/gtest.h>

#include <string>

namespace haojian {
namespace {

// A difference in every position of texts around the eight-byte steps, texts that differ only
// in length, and bytes on either side of the sign bit.
TEST(SameBytes, AgreesWithThePlainComparisonWhereverTheTextsDiffer) {
    for (std::size_t size = 0; size <= 40; ++size) {
        std::string text(size, 'a');
        for (std::size_t i = 0; i < size; ++i) text[i] = char(0x30 + i * 37 % 200);
        const std::string copy = text;
        EXPECT_TRUE(SameBytes(text, copy)) << size;
        EXPECT_FALSE(SameBytes(text, copy + 'x')) << size;
        EXPECT_FALSE(SameBytes(text + '\0', copy)) << size;
        for (std::size_t at = 0; at < size; ++at) {
            for (const char c : {char(text[at] ^ 1), char(text[at] ^ 0x80)}) {
                std::string other = text;
                other[at] = c;
                ASSERT_FALSE(SameBytes(text, other)) << "size " << size << " at " << at;
            }
        }
    }
    // Equal bytes from different places of one text.
    const std::string twice = "13800138000\n13800138000\n";
    EXPECT_TRUE(
        SameBytes(std::string_view(twice).substr(0, 12), std::string_view(twice).substr(12)));
}

}  // namespace
}  // namespace haojian
