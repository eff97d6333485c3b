// Simple keys against the collation's own keys: the same order between texts that have them.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "core/collation/collation.h"
#include "core/text/gbk.h"

namespace haojian {
namespace {

int Sign(int v) {
    return (v > 0) - (v < 0);
}

// Every GBK character, as its bytes: ASCII, the byte pairs, and lone bytes that start none.
std::vector<std::string> GbkCharacters() {
    std::vector<std::string> characters;
    for (int b = 1; b < 0x80; ++b) characters.push_back(std::string(1, char(b)));
    characters.push_back("\x80");
    characters.push_back("\xFF");
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail == 0x7F) continue;
            const std::string pair{char(lead), char(trail)};
            if (Utf16FromGbk(pair).size() == 1) characters.push_back(pair);
        }
    }
    return characters;
}

class SimpleKeys : public ::testing::TestWithParam<const char*> {};

// Texts of simple characters order by their simple keys exactly as by their collation keys:
// every character against its neighbour in that order, then random texts of them.
TEST_P(SimpleKeys, OrderAsTheCollationKeysDo) {
    const LocaleCollation collation(GetParam());
    LocaleCollation::KeyWriter writer(collation);
    const auto simple = [&](const std::string& text) {
        const auto key = writer.SimpleKeyPrefix(text, std::string::npos);
        return key ? std::optional<std::string>(std::string(*key)) : std::nullopt;
    };
    const auto collation_key = [&](const std::string& text) {
        return std::string(writer.CollationKey(text));
    };

    std::vector<std::pair<std::string, std::string>> keyed;  // simple key, character
    for (const std::string& c : GbkCharacters()) {
        if (const auto key = simple(c)) keyed.emplace_back(*key, c);
    }
    // The common characters are simple: digits, letters in either case, space, Chinese.
    ASSERT_GT(keyed.size(), 20000u);
    for (const char* c : {"0", "9", "a", "Z", " ", "-", "王", "伟"}) {
        EXPECT_TRUE(simple(GbkFromUtf8(c))) << c;
    }
    // ASCII characters take a byte each, then the closing 0.
    for (const char* c : {"0", "9", "a", "Z", " ", "-", "~"}) EXPECT_EQ(simple(c)->size(), 2u) << c;
    // Full-width forms and letters with a tone mark weigh apart at other levels: not simple.
    for (const char* c : {"Ａ", "ā", "ア"}) EXPECT_FALSE(simple(GbkFromUtf8(c))) << c;
    std::sort(keyed.begin(), keyed.end());
    for (std::size_t i = 1; i < keyed.size(); ++i) {
        const auto& [ka, a] = keyed[i - 1];
        const auto& [kb, b] = keyed[i];
        ASSERT_EQ(Sign(ka.compare(kb)), Sign(collation_key(a).compare(collation_key(b))))
            << Utf8FromGbk(a) << " " << Utf8FromGbk(b);
    }

    std::mt19937 random(11);
    const auto text = [&] {
        std::string t;
        const std::size_t n = random() % 10;
        for (std::size_t i = 0; i < n; ++i) {
            // Mostly a few characters, so that texts share beginnings.
            const std::size_t pick = random() % 4 == 0 ? random() % keyed.size() : random() % 40;
            t += keyed[pick * (keyed.size() / 40 + 1) % keyed.size()].second;
        }
        return t;
    };
    for (int n = 0; n < 20000; ++n) {
        const std::string a = text();
        const std::string b = random() % 8 == 0 ? a + text() : text();
        const auto ka = simple(a);
        const auto kb = simple(b);
        ASSERT_TRUE(ka && kb);
        ASSERT_EQ(Sign(ka->compare(*kb)), Sign(collation_key(a).compare(collation_key(b))))
            << Utf8FromGbk(a) << " " << Utf8FromGbk(b);
        // A prefix of the key is its first bytes, and a key ends in its only 0 byte.
        const std::size_t cut = random() % (ka->size() + 2);
        ASSERT_EQ(*writer.SimpleKeyPrefix(a, cut), ka->substr(0, std::min(cut, ka->size())));
        ASSERT_EQ(ka->find('\0'), ka->size() - 1);
    }
    // One character that is not simple, anywhere, and the text has no simple key.
    EXPECT_FALSE(simple("abc" + GbkFromUtf8("ａ") + "def"));
    EXPECT_FALSE(writer.SimpleKeyPrefix("abc" + GbkFromUtf8("ａ"), 1));
}

INSTANTIATE_TEST_SUITE_P(RootAndChinese, SimpleKeys, ::testing::Values("", "zh_CN"));

}  // namespace
}  // namespace haojian
