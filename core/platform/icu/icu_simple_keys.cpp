#include "core/platform/icu/icu_simple_keys.h"

#include <unicode/coll.h>
#include <unicode/tblcoll.h>
#include <unicode/ucol.h>
#include <unicode/uniset.h>
#include <unicode/usetiter.h>
#include <unicode/utf16.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>
#include <utility>

#include "core/collation/simple_key_codes.h"

namespace haojian {
namespace {

// The collation's contractions (and characters with a context, as the strings of the context
// and the character) and the characters that expand; false when the library cannot tell.
bool ContractionsAndExpansions(const icu::Collator& collator, icu::UnicodeSet& contractions,
                               icu::UnicodeSet& expansions) {
    const auto* rules = dynamic_cast<const icu::RuleBasedCollator*>(&collator);
    if (rules == nullptr) return false;
    UErrorCode status = U_ZERO_ERROR;
    ucol_getContractionsAndExpansions(rules->toUCollator(), contractions.toUSet(),
                                      expansions.toUSet(), true, &status);
    return U_SUCCESS(status);
}

// Makes sure that no contraction can occur in a text of simple characters: one character of
// each contraction made of simple characters only stops being simple (a contraction of a letter
// and a combining accent, which is never simple, cannot occur as it is). The one dropped is the
// last that is no ASCII letter or digit, else the last: "l·" keeps the letter and drops the dot.
void DropContracting(const icu::UnicodeSet& contractions, icu::UnicodeSet& simple) {
    icu::UnicodeSet dropped;
    icu::UnicodeSetIterator it(contractions);
    while (it.next()) {
        if (!it.isString()) {
            dropped.add(it.getCodepoint());
            continue;
        }
        const icu::UnicodeString& text = it.getString();
        if (!simple.containsAll(text) || dropped.containsSome(text)) continue;
        UChar32 drop = text.char32At(text.moveIndex32(text.length(), -1));
        for (int32_t i = 0; i < text.length(); i = text.moveIndex32(i, 1)) {
            const UChar32 c = text.char32At(i);
            if (!(c < 0x80 && std::isalnum(int(c)))) drop = c;
        }
        dropped.add(drop);
    }
    simple.removeAll(dropped);
}

// The primary weight bytes of u's one collation element, when u is simple; empty otherwise. A
// simple character's tertiary sort key is its primary bytes, then the level separator 01, the
// common secondary 05, 01 and the common tertiary 05, then the closing 00.
std::string SimplePrimary(const icu::Collator& collator, char16_t u) {
    uint8_t key[32];
    const int32_t n = collator.getSortKey(&u, 1, key, int32_t(sizeof key));
    if (n <= 0 || n > int32_t(sizeof key)) return {};
    const std::string_view bytes(reinterpret_cast<const char*>(key), std::size_t(n));
    const std::size_t separator = bytes.find('\x01');
    if (separator == 0 || separator == std::string_view::npos) return {};
    if (bytes.substr(separator) != std::string_view("\x01\x05\x01\x05\x00", 5)) return {};
    return std::string(bytes.substr(0, separator));
}

}  // namespace

std::vector<std::uint16_t> SimpleKeyCodes(const icu::Collator& collator,
                                          std::span<const char16_t> units) {
    icu::UnicodeSet contractions;
    icu::UnicodeSet expansions;
    if (!ContractionsAndExpansions(collator, contractions, expansions))
        return RankSimpleKeyCodes({});
    std::vector<std::pair<std::string, char16_t>> weighed;
    weighed.reserve(units.size());
    icu::UnicodeSet simple;
    for (const char16_t u : units) {
        if (U16_IS_SURROGATE(u) || expansions.contains(u)) continue;
        std::string primary = SimplePrimary(collator, u);
        if (primary.empty()) continue;
        weighed.emplace_back(std::move(primary), u);
        simple.add(u);
    }
    DropContracting(contractions, simple);
    std::erase_if(weighed, [&](const auto& w) { return !simple.contains(w.second); });
    return RankSimpleKeyCodes(std::move(weighed));
}

}  // namespace haojian
