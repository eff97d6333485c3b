#include "collation.h"

#include <unicode/coll.h>
#include <unicode/locid.h>
#include <unicode/ustring.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>
#include <string>

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

// The locale of the user's collation setting: LC_ALL, then LC_COLLATE, then LANG, the first
// that is set and not empty. (ICU's own default follows LC_MESSAGES instead.) The POSIX name
// "zh_CN.UTF-8@mod" is given to ICU as "zh_CN"; none, C and POSIX give root, as above.
icu::Locale UserCollationLocale() {
    std::string name;
    for (const char* variable : {"LC_ALL", "LC_COLLATE", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0') {
            name = value;
            break;
        }
    }
    name = name.substr(0, name.find_first_of(".@"));
    if (name.empty() || name == "C" || name == "POSIX") return icu::Locale::getRoot();
    return icu::Locale(name.c_str());
}

std::unique_ptr<icu::Collator> MakeCollator(const icu::Locale& locale) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Collator> collator(
        icu::Collator::createInstance(CollationLocale(locale), status));
    if (U_FAILURE(status) || !collator) throw std::runtime_error("no collation for the locale");
    collator->setStrength(icu::Collator::TERTIARY);
    return collator;
}

constexpr char16_t kExpands = 0xFFFF;

// Full case folding, code unit by code unit: folding maps each code point on its own, and
// decoded GBK holds no surrogates. kExpands marks the units that fold to more than one unit
// (and surrogates); texts holding one fold through ICU as a whole. Immutable once built.
struct FoldTable {
    std::array<char16_t, 0x10000> unit{};

    FoldTable() {
        for (std::uint32_t c = 0; c < 0x10000; ++c) {
            const UChar in = UChar(c);
            UChar out[4];
            UErrorCode status = U_ZERO_ERROR;
            const int32_t n = u_strFoldCase(out, 4, &in, 1, U_FOLD_CASE_DEFAULT, &status);
            unit[c] = (U_SUCCESS(status) && n == 1 && !U16_IS_SURROGATE(c)) ? out[0] : kExpands;
        }
    }
};

const FoldTable& Folds() {
    static const FoldTable table;
    return table;
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

void FoldThroughIcu(std::string_view gbk, std::u16string& out) {
    const std::u16string units = Utf16FromGbk(gbk);
    // Full case folding makes at most three units of one.
    out.resize(units.size() * 3 + 1);
    UErrorCode status = U_ZERO_ERROR;
    const int32_t n = u_strFoldCase(out.data(), int32_t(out.size()), units.data(),
                                    int32_t(units.size()), U_FOLD_CASE_DEFAULT, &status);
    if (U_FAILURE(status)) throw std::runtime_error("case folding failed");
    out.resize(std::size_t(n));
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

// Writes the collation key of folded units to the front of buffer, which grows as needed, and
// gives its length.
std::size_t WriteCollationKey(const icu::Collator& collator, std::u16string_view folded,
                              std::string& buffer) {
    const std::size_t guess = 64 + folded.size() * 4;
    if (buffer.size() < guess) buffer.resize(guess);
    int32_t n =
        collator.getSortKey(folded.data(), int32_t(folded.size()),
                            reinterpret_cast<uint8_t*>(buffer.data()), int32_t(buffer.size()));
    if (n > int32_t(buffer.size())) {
        buffer.resize(std::size_t(n));
        n = collator.getSortKey(folded.data(), int32_t(folded.size()),
                                reinterpret_cast<uint8_t*>(buffer.data()), n);
    }
    if (n <= 0) throw std::runtime_error("no collation key for the text");
    return std::size_t(n);
}

}  // namespace

LocaleCollation::LocaleCollation() : collator_(MakeCollator(UserCollationLocale())) {}

LocaleCollation::LocaleCollation(const char* locale_name)
    : collator_(MakeCollator(icu::Locale(locale_name))) {}

LocaleCollation::~LocaleCollation() = default;

bool LocaleCollation::IsAsciiDigits(std::string_view text) {
    for (const char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

void LocaleCollation::Fold(std::string_view text, std::u16string& out) {
    out.resize(text.size());
    out.resize(Utf16FromGbk(text, out.data()));
    if (!FoldInPlace(out.data(), out.size())) FoldThroughIcu(text, out);
}

int LocaleCollation::Compare(std::string_view a, std::string_view b) const {
    if (IsAsciiDigits(a) && IsAsciiDigits(b)) {
        const int c = a.compare(b);
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    const FoldedText fa(a);
    const FoldedText fb(b);
    UErrorCode status = U_ZERO_ERROR;
    const UCollationResult r =
        collator_->compare(fa.view().data(), int32_t(fa.view().size()), fb.view().data(),
                           int32_t(fb.view().size()), status);
    if (r != UCOL_EQUAL) return r < 0 ? -1 : 1;
    // Equal to the collation (ignorable characters, canonical equivalents): keep apart.
    const int32_t tie = u_strCompare(fa.view().data(), int32_t(fa.view().size()), fb.view().data(),
                                     int32_t(fb.view().size()), true);
    return tie < 0 ? -1 : (tie > 0 ? 1 : 0);
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
    : collator_(collation.collator_->clone()) {
    if (!collator_) throw std::bad_alloc();
}

LocaleCollation::KeyWriter::~KeyWriter() = default;

std::string_view LocaleCollation::KeyWriter::CollationKey(std::string_view text) {
    Fold(text, folded_);
    return std::string_view(key_.data(), WriteCollationKey(*collator_, folded_, key_));
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
