#include "collation.h"

#include <unicode/coll.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>

#include <cstring>
#include <stdexcept>

#include "gbk.h"

namespace haojian {
namespace {

icu::Locale CollationLocale(const icu::Locale& requested) {
    // ICU answers en_US_POSIX under the C locale; its tailoring orders ASCII by code point and
    // never ignores case, so the root collation stands in for it.
    if (std::strcmp(requested.getVariant(), "POSIX") == 0 || requested.isBogus()) {
        return icu::Locale::getRoot();
    }
    return requested;
}

std::unique_ptr<icu::Collator> MakeCollator(const icu::Locale& locale) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Collator> collator(
        icu::Collator::createInstance(CollationLocale(locale), status));
    if (U_FAILURE(status) || !collator) throw std::runtime_error("no collation for the locale");
    collator->setStrength(icu::Collator::TERTIARY);
    return collator;
}

icu::UnicodeString Folded(std::string_view gbk) {
    const std::u16string u = Utf16FromGbk(gbk);
    icu::UnicodeString s(reinterpret_cast<const UChar*>(u.data()), int32_t(u.size()));
    s.foldCase();
    return s;
}

}  // namespace

LocaleCollation::LocaleCollation() : collator_(MakeCollator(icu::Locale::getDefault())) {}

LocaleCollation::LocaleCollation(const char* locale_name)
    : collator_(MakeCollator(icu::Locale(locale_name))) {}

LocaleCollation::~LocaleCollation() = default;

bool LocaleCollation::IsAsciiDigits(std::string_view text) {
    for (const char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

int LocaleCollation::Compare(std::string_view a, std::string_view b) const {
    if (IsAsciiDigits(a) && IsAsciiDigits(b)) {
        const int c = a.compare(b);
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    const icu::UnicodeString fa = Folded(a);
    const icu::UnicodeString fb = Folded(b);
    UErrorCode status = U_ZERO_ERROR;
    const UCollationResult r = collator_->compare(fa, fb, status);
    if (r != UCOL_EQUAL) return r < 0 ? -1 : 1;
    // Equal to the collation (ignorable characters, canonical equivalents): keep apart.
    const int8_t tie = fa.compareCodePointOrder(fb);
    return tie < 0 ? -1 : (tie > 0 ? 1 : 0);
}

std::string LocaleCollation::SortKey(std::string_view text) const {
    const icu::UnicodeString folded = Folded(text);
    std::string key(64 + std::size_t(folded.length()) * 4, '\0');
    int32_t n =
        collator_->getSortKey(folded, reinterpret_cast<uint8_t*>(key.data()), int32_t(key.size()));
    if (n > int32_t(key.size())) {
        key.resize(std::size_t(n));
        n = collator_->getSortKey(folded, reinterpret_cast<uint8_t*>(key.data()), n);
    }
    // The ICU key ends in its only 0 byte; the folded code points follow as the tie-break.
    key.resize(std::size_t(n));
    for (int32_t i = 0; i < folded.length(); ++i) {
        const char16_t c = folded.charAt(i);
        key.push_back(char(c >> 8));
        key.push_back(char(c & 0xFF));
    }
    return key;
}

std::string LocaleCollation::LocaleName() const {
    UErrorCode status = U_ZERO_ERROR;
    const icu::Locale actual = collator_->getLocale(ULOC_ACTUAL_LOCALE, status);
    const char* name = actual.getName();
    return (name && *name) ? name : "root";
}

const LocaleCollation& DefaultCollation() {
    static const LocaleCollation collation;
    return collation;
}

}  // namespace haojian
