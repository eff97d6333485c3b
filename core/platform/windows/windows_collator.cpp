// LocaleCollation's system part on Windows: CompareStringEx and LCMapStringEx sort keys of the
// user's default locale, case ignored, the system's lower case as the case folding, and simple
// keys read from the system's own weights.
#include <windows.h>

#include <algorithm>
#include <optional>
#include <stdexcept>

#include "core/collation/simple_keys.h"
#include "core/collation/system_collator.h"
#include "core/platform/windows/windows_simple_keys.h"
#include "core/platform/windows/windows_text.h"

namespace haojian {
namespace {

constexpr DWORD kFlags = NORM_IGNORECASE;

class WindowsCollator final : public SystemCollator {
public:
    // locale: a locale name ("zh-CN"), empty for the invariant locale, or none for the user's
    // default.
    explicit WindowsCollator(std::optional<std::wstring> locale) : locale_(std::move(locale)) {}

    std::unique_ptr<SystemCollator> Clone() const override {
        return std::make_unique<WindowsCollator>(locale_);
    }

    int Compare(std::u16string_view a, std::u16string_view b) const override {
        const int r = ::CompareStringEx(Name(), kFlags, Wide(a), int(a.size()), Wide(b),
                                        int(b.size()), nullptr, nullptr, 0);
        if (r == 0) throw std::runtime_error("the system cannot compare the texts");
        return r - CSTR_EQUAL;
    }

    std::size_t WriteKey(std::u16string_view folded, std::string& buffer) override {
        // An empty text has a key too, but the function refuses a length of 0: given as a
        // text ending in its 0.
        static constexpr wchar_t kNothing[] = L"";
        const wchar_t* text = folded.empty() ? kNothing : Wide(folded);
        const int length = folded.empty() ? -1 : int(folded.size());
        const std::size_t guess = 16 + folded.size() * 6;
        if (buffer.size() < guess) buffer.resize(guess);
        int n = Map(text, length, buffer);
        if (n == 0 && ::GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
            n = ::LCMapStringEx(Name(), LCMAP_SORTKEY | kFlags, text, length, nullptr, 0, nullptr,
                                nullptr, 0);
            buffer.resize(std::size_t(std::max(n, 1)));
            n = Map(text, length, buffer);
        }
        if (n <= 0) throw std::runtime_error("no collation key for the text");
        return std::size_t(n);
    }

    std::size_t WriteKeyPrefix(std::u16string_view folded, std::size_t bytes,
                               std::string& buffer) override {
        // The system makes keys whole only.
        std::string& whole = scratch_;
        const std::size_t n = WriteKey(folded, whole) - 1;  // less the closing 0
        const std::size_t given = std::min(n, bytes);
        std::copy_n(whole.data(), given, buffer.data());
        return given;
    }

    std::string LocaleName() const override {
        std::wstring name;
        if (!locale_) {
            wchar_t user[LOCALE_NAME_MAX_LENGTH];
            if (::GetUserDefaultLocaleName(user, LOCALE_NAME_MAX_LENGTH) > 0) name = user;
        } else {
            name = *locale_;
        }
        if (name.empty()) return "root";
        std::replace(name.begin(), name.end(), L'-', L'_');
        return Utf8FromWide(name);
    }

    std::unique_ptr<const SimpleKeyTable> MakeSimpleKeys(
        std::span<const char16_t> units) const override {
        return std::make_unique<const SimpleKeyTable>(WindowsSimpleKeyCodes(Name(), units));
    }

private:
    static const wchar_t* Wide(std::u16string_view text) {
        return reinterpret_cast<const wchar_t*>(text.data());
    }
    const wchar_t* Name() const { return locale_ ? locale_->c_str() : LOCALE_NAME_USER_DEFAULT; }
    int Map(const wchar_t* text, int length, std::string& buffer) const {
        return ::LCMapStringEx(Name(), LCMAP_SORTKEY | kFlags, text, length,
                               reinterpret_cast<wchar_t*>(buffer.data()), int(buffer.size()),
                               nullptr, nullptr, 0);
    }

    std::optional<std::wstring> locale_;
    std::string scratch_;
};

}  // namespace

void ReadCaseFolds(std::array<char16_t, 0x10000>& unit) {
    // The system's lower case, a unit at a time; it keeps a text's length, so no unit expands.
    // Surrogates stand for characters beyond one unit and stay as they are.
    // U+FFFF, kFoldExpands itself, is folded with the whole text.
    for (std::uint32_t c = 0; c < 0x10000; ++c) {
        unit[c] = char16_t(c);
        if ((c >= 0xD800 && c <= 0xDFFF) || c == 0 || c == 0xFFFF) continue;
        const wchar_t in = wchar_t(c);
        wchar_t out[4];
        if (::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_LOWERCASE, &in, 1, out, 4, nullptr,
                            nullptr, 0) == 1) {
            unit[c] = char16_t(out[0]);
        }
    }
}

void FoldCaseWhole(std::u16string_view units, std::u16string& out) {
    out.assign(units);
    if (units.empty()) return;
    ::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_LOWERCASE,
                    reinterpret_cast<const wchar_t*>(units.data()), int(units.size()),
                    reinterpret_cast<wchar_t*>(out.data()), int(out.size()), nullptr, nullptr, 0);
}

std::unique_ptr<SystemCollator> SystemCollator::ForUser() {
    return std::make_unique<WindowsCollator>(std::nullopt);
}

std::unique_ptr<SystemCollator> SystemCollator::ForLocale(const char* name) {
    std::wstring wide = WideFromUtf8(name);
    std::replace(wide.begin(), wide.end(), L'_', L'-');
    return std::make_unique<WindowsCollator>(std::move(wide));
}

}  // namespace haojian
