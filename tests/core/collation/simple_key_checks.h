// Simple keys against the collation's own keys, for any system's collation.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "core/collation/collation.h"
#include "core/text/gbk.h"

namespace haojian::testing {

inline int Sign(int v) {
    return (v > 0) - (v < 0);
}

// Every GBK character, as its bytes: ASCII, the byte pairs, and lone bytes that start none.
inline std::vector<std::string> GbkCharacters() {
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

// The simple key of a whole text, none when it has none.
inline std::optional<std::string> SimpleKey(LocaleCollation::KeyWriter& writer,
                                            const std::string& text) {
    const auto key = writer.SimpleKeyPrefix(text, std::string::npos);
    return key ? std::optional<std::string>(std::string(*key)) : std::nullopt;
}

// Texts of simple characters order by their simple keys exactly as by their collation keys:
// every simple GBK character against its neighbour in that order, then random texts of them.
// Gives how many characters are simple.
inline std::size_t CheckSimpleKeysOrderAsCollationKeys(const LocaleCollation& collation) {
    LocaleCollation::KeyWriter writer(collation);
    const auto collation_key = [&](const std::string& text) {
        return std::string(writer.CollationKey(text));
    };
    std::vector<std::pair<std::string, std::string>> keyed;  // simple key, character
    for (const std::string& c : GbkCharacters()) {
        if (const auto key = SimpleKey(writer, c)) keyed.emplace_back(*key, c);
    }
    if (keyed.empty()) return 0;
    std::sort(keyed.begin(), keyed.end());
    for (std::size_t i = 1; i < keyed.size(); ++i) {
        const auto& [ka, a] = keyed[i - 1];
        const auto& [kb, b] = keyed[i];
        EXPECT_EQ(Sign(ka.compare(kb)), Sign(collation_key(a).compare(collation_key(b))))
            << Utf8FromGbk(a) << " " << Utf8FromGbk(b);
        if (::testing::Test::HasFailure()) return keyed.size();
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
        const auto ka = SimpleKey(writer, a);
        const auto kb = SimpleKey(writer, b);
        EXPECT_TRUE(ka && kb);
        if (!ka || !kb) return keyed.size();
        EXPECT_EQ(Sign(ka->compare(*kb)), Sign(collation_key(a).compare(collation_key(b))))
            << Utf8FromGbk(a) << " " << Utf8FromGbk(b);
        // A prefix of the key is its first bytes, and a key ends in its only 0 byte.
        const std::size_t cut = random() % (ka->size() + 2);
        EXPECT_EQ(*writer.SimpleKeyPrefix(a, cut), ka->substr(0, std::min(cut, ka->size())));
        EXPECT_EQ(ka->find('\0'), ka->size() - 1);
        if (::testing::Test::HasFailure()) return keyed.size();
    }
    // One character that is not simple, anywhere, and the text has no simple key.
    EXPECT_FALSE(SimpleKey(writer, "abc" + GbkFromUtf8("ａ") + "def"));
    EXPECT_FALSE(writer.SimpleKeyPrefix("abc" + GbkFromUtf8("ａ"), 1));
    return keyed.size();
}

}  // namespace haojian::testing
