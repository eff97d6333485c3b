// LocaleCollation's system part on Linux: ICU's collation and case folding.
#include <unicode/coll.h>
#include <unicode/locid.h>
#include <unicode/ucol.h>
#include <unicode/uiter.h>
#include <unicode/ustring.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>

#include "core/collation/simple_keys.h"
#include "core/collation/system_collator.h"
#include "core/platform/icu/icu_simple_keys.h"

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

class IcuCollator final : public SystemCollator {
public:
    explicit IcuCollator(std::unique_ptr<icu::Collator> collator)
        : collator_(std::move(collator)) {}

    std::unique_ptr<SystemCollator> Clone() const override {
        std::unique_ptr<icu::Collator> copy(collator_->clone());
        if (!copy) throw std::bad_alloc();
        return std::make_unique<IcuCollator>(std::move(copy));
    }

    int Compare(std::u16string_view a, std::u16string_view b) const override {
        UErrorCode status = U_ZERO_ERROR;
        const UCollationResult r =
            collator_->compare(a.data(), int32_t(a.size()), b.data(), int32_t(b.size()), status);
        return r == UCOL_EQUAL ? 0 : (r < 0 ? -1 : 1);
    }

    std::size_t WriteKey(std::u16string_view folded, std::string& buffer) override {
        const std::size_t guess = 64 + folded.size() * 4;
        if (buffer.size() < guess) buffer.resize(guess);
        int32_t n = collator_->getSortKey(folded.data(), int32_t(folded.size()),
                                          reinterpret_cast<uint8_t*>(buffer.data()),
                                          int32_t(buffer.size()));
        if (n > int32_t(buffer.size())) {
            buffer.resize(std::size_t(n));
            n = collator_->getSortKey(folded.data(), int32_t(folded.size()),
                                      reinterpret_cast<uint8_t*>(buffer.data()), n);
        }
        if (n <= 0) throw std::runtime_error("no collation key for the text");
        return std::size_t(n);
    }

    std::size_t WriteKeyPrefix(std::u16string_view folded, std::size_t bytes,
                               std::string& buffer) override {
        UCharIterator units;
        uiter_setString(&units, folded.data(), int32_t(folded.size()));
        // The key is made from its start; the parts give its bytes without the closing 0.
        std::uint32_t state[2] = {0, 0};
        UErrorCode status = U_ZERO_ERROR;
        const int32_t n = ucol_nextSortKeyPart(collator_->toUCollator(), &units, state,
                                               reinterpret_cast<uint8_t*>(buffer.data()),
                                               int32_t(bytes), &status);
        if (U_FAILURE(status) || n < 0) throw std::runtime_error("no collation key for the text");
        return std::size_t(n);
    }

    std::string LocaleName() const override {
        UErrorCode status = U_ZERO_ERROR;
        const icu::Locale actual = collator_->getLocale(ULOC_ACTUAL_LOCALE, status);
        const char* name = actual.getName();
        return (name && *name) ? name : "root";
    }

    std::unique_ptr<const SimpleKeyTable> MakeSimpleKeys(
        std::span<const char16_t> units) const override {
        return std::make_unique<const SimpleKeyTable>(SimpleKeyCodes(*collator_, units));
    }

private:
    std::unique_ptr<icu::Collator> collator_;
};

}  // namespace

void ReadCaseFolds(std::array<char16_t, 0x10000>& unit) {
    for (std::uint32_t c = 0; c < 0x10000; ++c) {
        const UChar in = UChar(c);
        UChar out[4];
        UErrorCode status = U_ZERO_ERROR;
        const int32_t n = u_strFoldCase(out, 4, &in, 1, U_FOLD_CASE_DEFAULT, &status);
        unit[c] = (U_SUCCESS(status) && n == 1 && !U16_IS_SURROGATE(c)) ? out[0] : kFoldExpands;
    }
}

void FoldCaseWhole(std::u16string_view units, std::u16string& out) {
    // Full case folding makes at most three units of one.
    out.resize(units.size() * 3 + 1);
    UErrorCode status = U_ZERO_ERROR;
    const int32_t n = u_strFoldCase(out.data(), int32_t(out.size()), units.data(),
                                    int32_t(units.size()), U_FOLD_CASE_DEFAULT, &status);
    if (U_FAILURE(status)) throw std::runtime_error("case folding failed");
    out.resize(std::size_t(n));
}

std::unique_ptr<SystemCollator> SystemCollator::ForUser() {
    return std::make_unique<IcuCollator>(MakeCollator(UserCollationLocale()));
}

std::unique_ptr<SystemCollator> SystemCollator::ForLocale(const char* name) {
    return std::make_unique<IcuCollator>(MakeCollator(icu::Locale(name)));
}

}  // namespace haojian
