// Simple keys read from the system's sort weights against its own sort keys.
#include <gtest/gtest.h>

#include <string>

#include "core/collation/collation.h"
#include "core/text/gbk.h"
#include "tests/core/collation/simple_key_checks.h"

namespace haojian {
namespace {

using testing::SimpleKey;

class WindowsSimpleKeys : public ::testing::TestWithParam<const char*> {};

TEST_P(WindowsSimpleKeys, OrderAsTheSystemsKeysDo) {
    const LocaleCollation collation(GetParam());
    EXPECT_GT(testing::CheckSimpleKeysOrderAsCollationKeys(collation), 20000u);

    LocaleCollation::KeyWriter writer(collation);
    for (const char* c : {"0", "9", "a", "Z", " ", "~", "王", "伟"}) {
        EXPECT_TRUE(SimpleKey(writer, GbkFromUtf8(c))) << c;
    }
    for (const char* c : {"0", "a", "Z", " "}) EXPECT_EQ(SimpleKey(writer, c)->size(), 2u) << c;
    // The hyphen and the apostrophe weigh apart from the letters (the system's word sort), and
    // so do full-width forms and letters with a tone mark: not simple.
    for (const char* c : {"-", "'", "Ａ", "ā"}) {
        EXPECT_FALSE(SimpleKey(writer, GbkFromUtf8(c))) << c;
    }
}

// Chinese, the invariant locale and US English (the user default under wine here).
INSTANTIATE_TEST_SUITE_P(UserChineseInvariant, WindowsSimpleKeys,
                         ::testing::Values("zh_CN", "", "en_US"));

// Hungarian sorts "cs" and "dzs" as letters of their own: no text is simple there, and keys
// come from the system.
TEST(WindowsSimpleKeys, NoneWhereTheLocaleJoinsLetters) {
    const LocaleCollation collation("hu_HU");
    LocaleCollation::KeyWriter writer(collation);
    EXPECT_FALSE(SimpleKey(writer, "a"));
    EXPECT_FALSE(SimpleKey(writer, "csak"));
    EXPECT_LT(collation.Compare("cz", "csa"), 0);
}

}  // namespace
}  // namespace haojian
