#include "core/collation/collation.h"

#include <array>
#include <bit>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/base/error.h"
#include "core/collation/simple_keys.h"
#include "core/collation/system_collator.h"
#include "core/collation/unit_hash.h"
#include "core/text/digits.h"
#include "core/text/gbk.h"
#include "core/text/text_encoding.h"

namespace haojian {
namespace {

constexpr char16_t kExpands = kFoldExpands;

// Full case folding, code unit by code unit: folding maps each code point on its own, and
// decoded GBK holds no surrogates. kExpands marks the units that fold to more than one unit
// (and surrogates); texts holding one fold through the system as a whole. Immutable once built.
struct FoldTable {
    std::array<char16_t, 0x10000> unit{};

    FoldTable() { ReadCaseFolds(unit); }
};

const FoldTable& Folds() {
    static const FoldTable table;
    return table;
}

// The folded unit of every GBK byte on its own and of every byte pair: decoding and folding in
// one look-up. A pair that is no character has 0 (its lead byte then decodes on its own).
// Immutable once built.
struct FoldedGbk {
    std::array<char16_t, 256> single{};
    std::array<char16_t, 0x10000> pair{};

    FoldedGbk() {
        const GbkDecoding& decoding = GbkDecodingTables();
        const FoldTable& folds = Folds();
        for (std::uint32_t b = 0; b < 0x100; ++b) {
            const std::string_view byte(reinterpret_cast<const char*>(&b), 1);
            std::size_t i = 0;
            single[b] = folds.unit[DecodeGbkAt(decoding, byte, i)];
        }
        for (std::uint32_t p = 0; p < 0x10000; ++p) {
            if (const char16_t c = decoding.pair[p]; c != 0) pair[p] = folds.unit[c];
        }
    }
};

const FoldedGbk& FoldedGbkTable() {
    static const FoldedGbk table;
    return table;
}

// The folded unit of the character of text that starts at i, as DecodeGbkAt decodes it, with i
// moved past it; kExpands when it folds to more than one unit.
inline char16_t NextFoldedUnit(const FoldedGbk& t, std::string_view text, std::size_t& i) {
    const auto b = static_cast<unsigned char>(text[i++]);
    if (b >= 0x80 && i < text.size()) {
        const char16_t u = t.pair[(b << 8) | static_cast<unsigned char>(text[i])];
        if (u != 0) {
            ++i;
            return u;
        }
    }
    return t.single[b];
}

// Calls unit(u) for every folded code unit of the GBK text, in order, decoding and folding a
// character at a time. False, with only some units given, when a character folds to more than
// one unit: the caller then folds the text through the system.
template <class Unit>
bool ForEachFoldedUnit(std::string_view text, Unit&& unit) {
    const FoldedGbk& table = FoldedGbkTable();
    for (std::size_t i = 0; i < text.size();) {
        const char16_t u = NextFoldedUnit(table, text, i);
        if (u == kExpands) return false;
        unit(u);
    }
    return true;
}

// Whether the eight bytes of text at i are all ASCII; if so, word gets them, the first in the
// lowest byte. Never on machines that keep the first byte elsewhere.
inline bool AsciiWordAt(std::string_view text, std::size_t i, std::uint64_t& word) {
    if constexpr (std::endian::native != std::endian::little) return false;
    if (text.size() - i < 8) return false;
    std::memcpy(&word, text.data() + i, 8);
    return (word & 0x8080808080808080ULL) == 0;
}

// The eight ASCII bytes of word case-folded, as the fold table folds them: A-Z to a-z.
inline std::uint64_t FoldAsciiLetters(std::uint64_t word) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
    // No byte is above 0x7F, so no sum carries into the next byte.
    const std::uint64_t from_a = word + (0x80 - 'A') * kOnes;      // high bit: byte >= 'A'
    const std::uint64_t past_z = word + (0x80 - 'Z' - 1) * kOnes;  // high bit: byte > 'Z'
    return word | ((from_a & ~past_z & 0x80 * kOnes) >> 2);
}

// Four bytes, the first lowest, as four 16-bit units.
inline std::uint64_t WidenToUnits(std::uint64_t four) {
    four = (four | four << 16) & 0x0000FFFF0000FFFFULL;
    return (four | four << 8) & 0x00FF00FF00FF00FFULL;
}

// Folds n decoded units in place; false, with units part folded, when one of them expands.
bool FoldInPlace(char16_t* units, std::size_t n) {
    const FoldTable& table = Folds();
    for (std::size_t i = 0; i < n; ++i) {
        const char16_t f = table.unit[units[i]];
        if (f == kExpands) return false;
        units[i] = f;
    }
    return true;
}

void FoldThroughSystem(std::string_view gbk, std::u16string& out) {
    FoldCaseWhole(Utf16FromGbk(gbk), out);
}

// The folded units of a text, on the stack when the text is short.
class FoldedText {
public:
    explicit FoldedText(std::string_view gbk) {
        if (gbk.size() <= inline_.size()) {
            const std::size_t n = Utf16FromGbk(gbk, inline_.data());
            if (FoldInPlace(inline_.data(), n)) {
                view_ = std::u16string_view(inline_.data(), n);
                return;
            }
        }
        LocaleCollation::Fold(gbk, heap_);
        view_ = heap_;
    }
    FoldedText(const FoldedText&) = delete;
    FoldedText& operator=(const FoldedText&) = delete;

    std::u16string_view view() const { return view_; }

private:
    std::array<char16_t, 120> inline_;
    std::u16string heap_;
    std::u16string_view view_;
};

// The collation libraries count lengths in 32 bits: a text longer than this cannot be given to it
// in one piece, and the key of one longer than kMostKeyUnits might not fit.
constexpr std::size_t kMostUnits = INT32_MAX;
constexpr std::size_t kMostKeyUnits = std::size_t(1) << 26;

void CheckLength(std::size_t units, std::size_t most) {
    if (units > most) {
        throw Error("A line of " + std::to_string(units) + " characters is too long to sort");
    }
}

// Writes the collation key of folded units to the front of buffer, which grows as needed, and
// gives its length.
std::size_t WriteCollationKey(SystemCollator& collator, std::u16string_view folded,
                              std::string& buffer) {
    CheckLength(folded.size(), kMostKeyUnits);
    return collator.WriteKey(folded, buffer);
}

}  // namespace

LocaleCollation::LocaleCollation() : collator_(SystemCollator::ForUser()) {}

LocaleCollation::LocaleCollation(const char* locale_name)
    : collator_(SystemCollator::ForLocale(locale_name)) {}

LocaleCollation::~LocaleCollation() = default;

void LocaleCollation::Fold(std::string_view text, std::u16string& out) {
    out.resize(text.size());
    std::size_t n = 0;
    if (ForEachFoldedUnit(text, [&](char16_t u) { out[n++] = u; })) {
        out.resize(n);
    } else {
        FoldThroughSystem(text, out);
    }
}

bool LocaleCollation::FoldedEqual(std::string_view a, std::string_view b) {
    const FoldedGbk& table = FoldedGbkTable();
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        const char16_t u = NextFoldedUnit(table, a, i);
        const char16_t v = NextFoldedUnit(table, b, j);
        if (u == kExpands || v == kExpands) {
            // Compared whole: one side's expansion may match several units of the other.
            std::u16string fa;
            std::u16string fb;
            Fold(a, fa);
            Fold(b, fb);
            return fa == fb;
        }
        if (u != v) return false;
    }
    // One text has characters left, which fold to units of their own: never equal.
    return i == a.size() && j == b.size();
}

std::uint64_t LocaleCollation::FoldedHash(std::string_view text) {
    const FoldedGbk& table = FoldedGbkTable();
    UnitHash hash;
    for (std::size_t i = 0; i < text.size();) {
        std::uint64_t ascii;
        if (AsciiWordAt(text, i, ascii)) {
            // Eight ASCII characters: their units are their bytes, folded.
            ascii = FoldAsciiLetters(ascii);
            hash.AddFour(WidenToUnits(ascii & 0xFFFFFFFF));
            hash.AddFour(WidenToUnits(ascii >> 32));
            i += 8;
            continue;
        }
        const char16_t u = NextFoldedUnit(table, text, i);
        if (u == kExpands) {
            std::u16string folded;
            Fold(text, folded);
            UnitHash whole;
            for (const char16_t f : folded) whole.Add(f);
            return whole.Value();
        }
        hash.Add(u);
    }
    return hash.Value();
}

int LocaleCollation::Compare(std::string_view a, std::string_view b) const {
    if (IsAsciiDigits(a) && IsAsciiDigits(b)) {
        const int c = a.compare(b);
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    const FoldedText fa(a);
    const FoldedText fb(b);
    CheckLength(fa.view().size(), kMostUnits);
    CheckLength(fb.view().size(), kMostUnits);
    if (const int r = collator_->Compare(fa.view(), fb.view()); r != 0) return r;
    // Equal to the collation (ignorable characters, canonical equivalents): keep apart.
    return CompareInCodePointOrder(fa.view(), fb.view());
}

std::string LocaleCollation::SortKey(std::string_view text) const {
    const FoldedText folded(text);
    std::string key;
    key.resize(WriteCollationKey(*collator_, folded.view(), key));
    key.reserve(key.size() + 2 * folded.view().size());
    for (const char16_t c : folded.view()) {
        key.push_back(char(c >> 8));
        key.push_back(char(c & 0xFF));
    }
    return key;
}

LocaleCollation::KeyWriter::KeyWriter(const LocaleCollation& collation)
    : collation_(collation), collator_(collation.collator_->Clone()) {}

LocaleCollation::KeyWriter::~KeyWriter() = default;

std::string_view LocaleCollation::KeyWriter::CollationKey(std::string_view text) {
    Fold(text, folded_);
    return std::string_view(key_.data(), WriteCollationKey(*collator_, folded_, key_));
}

std::string_view LocaleCollation::KeyWriter::CollationKeyPrefix(std::string_view text,
                                                                std::size_t bytes) {
    Fold(text, folded_);
    CheckLength(folded_.size(), kMostUnits);
    CheckLength(bytes, kMostUnits - 1);
    if (key_.size() < bytes + 1) key_.resize(bytes + 1);
    const std::size_t n = collator_->WriteKeyPrefix(folded_, bytes, key_);
    if (n == bytes) return std::string_view(key_.data(), bytes);
    key_[std::size_t(n)] = '\0';
    return std::string_view(key_.data(), std::size_t(n) + 1);
}

std::optional<std::string_view> LocaleCollation::KeyWriter::SimpleKeyPrefix(std::string_view text,
                                                                            std::size_t bytes) {
    const SimpleKeyTable& table = collation_.SimpleKeys();
    const FoldedGbk& folded = FoldedGbkTable();
    // Two bytes at most for a character of one byte or more, then the closing 0.
    if (key_.size() < 2 * text.size() + 1) key_.resize(2 * text.size() + 1);
    std::size_t n = 0;
    for (std::size_t i = 0; i < text.size();) {
        const char16_t u = NextFoldedUnit(folded, text, i);
        const std::uint16_t code = u == kExpands ? 0 : table.Code(u);
        if (code == 0) return std::nullopt;
        if (code >= 0x100) key_[n++] = char(code >> 8);
        key_[n++] = char(code & 0xFF);
    }
    if (n >= bytes) return std::string_view(key_.data(), bytes);
    key_[n] = '\0';
    return std::string_view(key_.data(), n + 1);
}

const SimpleKeyTable& LocaleCollation::SimpleKeys() const {
    std::call_once(simple_keys_made_, [this] {
        // Every character GBK text decodes to, folded as texts are compared.
        const GbkDecoding& decoding = GbkDecodingTables();
        const FoldTable& folds = Folds();
        std::vector<bool> seen(0x10000, false);
        std::vector<char16_t> units;
        const auto add = [&](char16_t c) {
            const char16_t u = c == 0 ? kExpands : folds.unit[c];
            if (u != kExpands && !seen[u]) {
                seen[u] = true;
                units.push_back(u);
            }
        };
        for (std::uint32_t b = 0; b < 0x80; ++b) add(char16_t(b));
        for (std::uint32_t b = 0x80; b < 0x100; ++b) {
            add(decoding.single[b]);
            add(PrivateUseForByte(static_cast<unsigned char>(b)));
        }
        for (const char16_t c : decoding.pair) add(c);
        simple_keys_ = collator_->MakeSimpleKeys(units);
        if (!simple_keys_) simple_keys_ = std::make_unique<const SimpleKeyTable>();
    });
    return *simple_keys_;
}

std::string LocaleCollation::LocaleName() const {
    return collator_->LocaleName();
}

const LocaleCollation& DefaultCollation() {
    static const LocaleCollation collation;
    return collation;
}

}  // namespace haojian
