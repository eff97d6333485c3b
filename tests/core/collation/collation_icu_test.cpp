// The shared locale comparison: case folding, keys, hashes and the locale it follows.
#include "core/collation/collation.h"

#include <gtest/gtest.h>
#include <unicode/coll.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "core/collation/unit_hash.h"
#include "core/text/gbk.h"

namespace haojian {
namespace {

TEST(Collation, IgnoresLetterCaseAndNothingElse) {
    const LocaleCollation& c = DefaultCollation();
    EXPECT_TRUE(c.Equal("abc", "ABC"));
    EXPECT_TRUE(c.Equal(GbkFromUtf8("Ａｂ"), GbkFromUtf8("ａＢ")));  // full-width letters fold too
    EXPECT_FALSE(c.Equal(GbkFromUtf8("０５"), "05"));                // width is not case
    EXPECT_FALSE(c.Equal("a\x01", "a"));                             // ignorables keep apart
    EXPECT_FALSE(c.Equal("\x81", "\x82"));                           // undecodable bytes too
    EXPECT_LT(c.Compare("", "0"), 0);
    EXPECT_LT(c.Compare("138", "1380"), 0);
    EXPECT_LT(c.Compare("1390", "14"), 0);
    EXPECT_GT(c.Compare("9", "10"), 0);  // by characters, not by value
}

TEST(Collation, SortKeysOrderAsCompare) {
    const LocaleCollation& c = DefaultCollation();
    std::vector<std::string> words = {"",
                                      "a",
                                      "A",
                                      "b",
                                      "ab",
                                      "Ab",
                                      "0",
                                      "9",
                                      "10",
                                      "a\x01",
                                      GbkFromUtf8("北京"),
                                      GbkFromUtf8("南京"),
                                      GbkFromUtf8("未知"),
                                      GbkFromUtf8("０５"),
                                      "05",
                                      "\x81",
                                      " x",
                                      "-x",
                                      "x-"};
    for (const auto& a : words) {
        for (const auto& b : words) {
            const int by_compare = c.Compare(a, b);
            const int by_key = c.SortKey(a).compare(c.SortKey(b));
            EXPECT_EQ(by_compare < 0, by_key < 0) << a << " / " << b;
            EXPECT_EQ(by_compare == 0, by_key == 0) << a << " / " << b;
        }
    }
}

// Folding unit by unit gives what ICU gives for the whole decoded text.
TEST(Collation, FoldingAgreesWithIcuForEveryCharacter) {
    const auto icu_folded = [](const std::string& gbk) {
        const std::u16string units = Utf16FromGbk(gbk);
        icu::UnicodeString s(units.data(), int32_t(units.size()));
        s.foldCase();
        return std::u16string(s.getBuffer(), std::size_t(s.length()));
    };
    std::u16string folded;
    std::string all;
    for (int lead = 0x01; lead <= 0xFF; ++lead) {
        for (int trail = (lead < 0x81 ? 0xFF : 0x30); trail <= 0xFF; ++trail) {
            std::string text(1, char(lead));
            if (lead >= 0x81) text += char(trail);
            LocaleCollation::Fold(text, folded);
            ASSERT_EQ(folded, icu_folded(text)) << lead << " " << trail;
            all += text;
        }
    }
    // All of them at once, into storage that held a shorter text.
    LocaleCollation::Fold(all, folded);
    EXPECT_EQ(folded, icu_folded(all));
}

// Compare against the comparison made the plain way with ICU: decode, fold, compare at
// tertiary strength, and tell apart by folded code points what the collation finds equal.
TEST(Collation, AgreesWithThePlainWayOnRandomTexts) {
    const LocaleCollation root("");
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Collator> icu_root(
        icu::Collator::createInstance(icu::Locale::getRoot(), status));
    ASSERT_TRUE(U_SUCCESS(status));
    icu_root->setStrength(icu::Collator::TERTIARY);
    const auto plain = [&](const std::string& a, const std::string& b) {
        const std::u16string ua = Utf16FromGbk(a);
        const std::u16string ub = Utf16FromGbk(b);
        icu::UnicodeString fa(ua.data(), int32_t(ua.size()));
        icu::UnicodeString fb(ub.data(), int32_t(ub.size()));
        fa.foldCase();
        fb.foldCase();
        UErrorCode s = U_ZERO_ERROR;
        const int r = icu_root->compare(fa, fb, s);
        return r != 0 ? r : fa.compareCodePointOrder(fb);
    };
    const std::vector<std::string> pieces = {"a",
                                             "A",
                                             "z",
                                             "Z",
                                             "0",
                                             "9",
                                             " ",
                                             "-",
                                             "\x01",
                                             "\x81",
                                             "\xFF",
                                             GbkFromUtf8("张"),
                                             GbkFromUtf8("Ａ"),
                                             GbkFromUtf8("ａ"),
                                             GbkFromUtf8("Σ"),
                                             GbkFromUtf8("ς"),
                                             GbkFromUtf8("σ"),
                                             GbkFromUtf8("Ё"),
                                             GbkFromUtf8("ё"),
                                             GbkFromUtf8("ü"),
                                             "u",
                                             std::string(60, 'K')};
    std::mt19937 rng(99);
    std::vector<std::string> texts;
    for (int i = 0; i < 300; ++i) {
        std::string text;
        for (int n = int(rng() % 8); n > 0; --n) text += pieces[rng() % pieces.size()];
        texts.push_back(text);
    }
    LocaleCollation::KeyWriter writer(root);
    const auto sign = [](int v) { return (v > 0) - (v < 0); };
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const std::string key = root.SortKey(texts[i]);
        const std::string whole(writer.CollationKey(texts[i]));
        EXPECT_EQ(whole, key.substr(0, key.find('\0') + 1));
        for (const std::size_t bytes : {std::size_t(1), std::size_t(8), std::size_t(24),
                                        whole.size() - 1, whole.size(), whole.size() + 5}) {
            ASSERT_EQ(writer.CollationKeyPrefix(texts[i], bytes), whole.substr(0, bytes))
                << Utf8FromGbk(texts[i]) << ", " << bytes << " bytes";
        }
        for (std::size_t j = 0; j < texts.size(); j += 1 + rng() % 7) {
            const int expected = sign(plain(texts[i], texts[j]));
            ASSERT_EQ(sign(root.Compare(texts[i], texts[j])), expected)
                << Utf8FromGbk(texts[i]) << " / " << Utf8FromGbk(texts[j]);
            ASSERT_EQ(sign(key.compare(root.SortKey(texts[j]))), expected)
                << Utf8FromGbk(texts[i]) << " / " << Utf8FromGbk(texts[j]);
            // Equality and hashes of the folded text, made without storing it.
            ASSERT_EQ(LocaleCollation::FoldedEqual(texts[i], texts[j]), expected == 0)
                << Utf8FromGbk(texts[i]) << " / " << Utf8FromGbk(texts[j]);
            if (expected == 0) {
                ASSERT_EQ(LocaleCollation::FoldedHash(texts[i]),
                          LocaleCollation::FoldedHash(texts[j]));
            }
        }
    }
    // Prefixes of keys under a tailored collation too.
    const LocaleCollation chinese("zh_CN");
    LocaleCollation::KeyWriter chinese_writer(chinese);
    for (const std::string& text : texts) {
        const std::string whole(chinese_writer.CollationKey(text));
        ASSERT_EQ(chinese_writer.CollationKeyPrefix(text, 10), whole.substr(0, 10));
        ASSERT_EQ(chinese_writer.CollationKeyPrefix(text, whole.size() + 1), whole);
    }
    const std::string sigmas = GbkFromUtf8("ΣΣ");
    EXPECT_TRUE(LocaleCollation::FoldedEqual(sigmas, GbkFromUtf8("σΣ")));
    EXPECT_EQ(LocaleCollation::FoldedHash(sigmas), LocaleCollation::FoldedHash(GbkFromUtf8("σσ")));
    EXPECT_FALSE(LocaleCollation::FoldedEqual(sigmas, GbkFromUtf8("σ")));
    // A lead byte without its trail is a character of its own.
    EXPECT_FALSE(LocaleCollation::FoldedEqual("\x81", "\x81\x40"));
}

TEST(Collation, FoldedHashIsTheHashOfTheFoldedUnits) {
    // Units added four at once hash as when added one at a time, whatever came before.
    std::mt19937_64 rng(11);
    for (int round = 0; round < 200; ++round) {
        UnitHash one_by_one;
        UnitHash mixed;
        for (int n = int(rng() % 12); n > 0; --n) {
            const std::uint64_t four = rng();
            if (rng() % 2) {
                mixed.AddFour(four);
            } else {
                for (int k = 0; k < 4; ++k) mixed.Add(char16_t(four >> (16 * k)));
            }
            for (int k = 0; k < 4; ++k) one_by_one.Add(char16_t(four >> (16 * k)));
            if (rng() % 3 == 0) {
                const auto u = char16_t(rng());
                one_by_one.Add(u);
                mixed.Add(u);
            }
        }
        ASSERT_EQ(mixed.Value(), one_by_one.Value());
    }
    // Runs of ASCII of every length and place, letters of both cases among them, between
    // characters of two bytes and ones that fold to several units.
    const std::vector<std::string> pieces = {"abcdefghij",
                                             "ABCDEFGHIJKLMNOPQRSTUVWXYZ",
                                             "@[`{",
                                             "0123456789",
                                             " ",
                                             "Z",
                                             "a",
                                             GbkFromUtf8("张"),
                                             GbkFromUtf8("Ａ"),
                                             GbkFromUtf8("Σ"),
                                             "\x81",
                                             "\xDF"};
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        for (int n = int(rng() % 7); n > 0; --n) {
            const std::string& piece = pieces[rng() % pieces.size()];
            text += piece.substr(rng() % piece.size());
        }
        std::u16string folded;
        LocaleCollation::Fold(text, folded);
        UnitHash expected;
        for (const char16_t u : folded) expected.Add(u);
        ASSERT_EQ(LocaleCollation::FoldedHash(text), expected.Value()) << Utf8FromGbk(text);
    }
}

// Sets the locale variables for one test and puts them back after.
class LocaleVariables {
public:
    LocaleVariables(const char* all, const char* collate, const char* messages, const char* lang) {
        for (const auto& [name, value] :
             {std::pair{"LC_ALL", all}, std::pair{"LC_COLLATE", collate},
              std::pair{"LC_MESSAGES", messages}, std::pair{"LANG", lang}}) {
            const char* old = std::getenv(name);
            saved_.push_back({name, old ? std::optional<std::string>(old) : std::nullopt});
            if (value) {
                ::setenv(name, value, 1);
            } else {
                ::unsetenv(name);
            }
        }
    }
    ~LocaleVariables() {
        for (const auto& [name, value] : saved_) {
            if (value) {
                ::setenv(name, value->c_str(), 1);
            } else {
                ::unsetenv(name);
            }
        }
    }

private:
    std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

TEST(Collation, FollowsTheCollationSettingNotTheMessages) {
    const auto locale = [] { return LocaleCollation().LocaleName(); };
    {
        const LocaleVariables only_collate(nullptr, "zh_CN.UTF-8", "C", nullptr);
        EXPECT_EQ(locale(), "zh");
        EXPECT_EQ(locale(), LocaleCollation("zh_CN").LocaleName());
    }
    {
        const LocaleVariables all_first("C.UTF-8", "zh_CN.UTF-8", nullptr, "zh_CN.UTF-8");
        EXPECT_EQ(locale(), "root");
    }
    {
        const LocaleVariables lang_last(nullptr, "", "C", "sv_SE.UTF-8@euro");
        EXPECT_EQ(locale(), "sv");
    }
    {
        const LocaleVariables none(nullptr, nullptr, "zh_CN.UTF-8", nullptr);
        EXPECT_EQ(locale(), "root");
    }
}

}  // namespace
}  // namespace haojian
