// The checks for ASCII digits and their decimal value, and the count with its first examples.
#include "core/text/digits.h"

#include <gtest/gtest.h>

#include <string>

#include "core/base/counted_examples.h"

namespace haojian {
namespace {

TEST(Digits, OnlyAsciiDigitsOfTheLengthAsked) {
    EXPECT_TRUE(IsDigits("1380000", 7));
    EXPECT_FALSE(IsDigits("138000", 7));
    EXPECT_FALSE(IsDigits("13800000", 7));
    EXPECT_FALSE(IsDigits("138 000", 7));
    EXPECT_FALSE(IsDigits("138000\xA3", 7));                // a GBK lead byte is no digit
    EXPECT_FALSE(IsDigits("\xA3\xB1\xA3\xB3\xA3\xB8", 6));  // nor are full-width digits
    EXPECT_TRUE(IsAsciiDigits(""));
    EXPECT_FALSE(IsAsciiDigits("12a"));
    EXPECT_EQ(DecimalValue("0000000"), 0u);
    EXPECT_EQ(DecimalValue("1380000"), 1380000u);
    EXPECT_EQ(DecimalValue("9999999"), 9999999u);
}

TEST(CountedExamples, CountsEveryOneAndKeepsTheFirstFive) {
    CountedExamples<std::string> found;
    int made = 0;
    for (int i = 0; i < 8; ++i) {
        found.Add([&] {
            ++made;
            return std::to_string(i);
        });
    }
    EXPECT_EQ(found.count, 8u);
    EXPECT_EQ(found.examples, (std::vector<std::string>{"0", "1", "2", "3", "4"}));
    EXPECT_EQ(made, 5);  // no example is made beyond those kept
}

}  // namespace
}  // namespace haojian
