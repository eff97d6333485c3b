// ICU's simple keys against its collation keys: the same order between texts that have them.
#include <gtest/gtest.h>

#include "core/collation/collation.h"
#include "core/text/gbk.h"
#include "tests/core/collation/simple_key_checks.h"

namespace haojian {
namespace {

using testing::SimpleKey;

class SimpleKeys : public ::testing::TestWithParam<const char*> {};

TEST_P(SimpleKeys, OrderAsTheCollationKeysDo) {
    const LocaleCollation collation(GetParam());
    EXPECT_GT(testing::CheckSimpleKeysOrderAsCollationKeys(collation), 20000u);

    LocaleCollation::KeyWriter writer(collation);
    // The common characters are simple: digits, letters in either case, space, Chinese.
    for (const char* c : {"0", "9", "a", "Z", " ", "-", "王", "伟"}) {
        EXPECT_TRUE(SimpleKey(writer, GbkFromUtf8(c))) << c;
    }
    // ASCII characters take a byte each, then the closing 0.
    for (const char* c : {"0", "9", "a", "Z", " ", "-", "~"}) {
        EXPECT_EQ(SimpleKey(writer, c)->size(), 2u) << c;
    }
    // Full-width forms and letters with a tone mark weigh apart at other levels: not simple.
    for (const char* c : {"Ａ", "ā", "ア"}) EXPECT_FALSE(SimpleKey(writer, GbkFromUtf8(c))) << c;
}

INSTANTIATE_TEST_SUITE_P(RootAndChinese, SimpleKeys, ::testing::Values("", "zh_CN"));

}  // namespace
}  // namespace haojian
