#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace haojian {

class SimpleKeyTable;

// What LocaleCollation asks of the system: ICU on Linux, the national language support
// functions on Windows. Platform code.

// A folded unit that stands for "folds to more than one unit".
inline constexpr char16_t kFoldExpands = 0xFFFF;

// The case-folded unit of every code unit on its own, kFoldExpands where it folds to more than
// one unit (and for surrogates).
void ReadCaseFolds(std::array<char16_t, 0x10000>& unit);
// The folded units of a whole text, for texts holding a unit that expands.
void FoldCaseWhole(std::u16string_view units, std::u16string& out);

// The collation of one locale, on folded texts. One object is for one thread at a time; Clone
// gives another thread its own.
class SystemCollator {
public:
    // The user's default locale.
    static std::unique_ptr<SystemCollator> ForUser();
    // A named locale, such as "zh_CN", or "" for the root (invariant) collation.
    static std::unique_ptr<SystemCollator> ForLocale(const char* name);

    virtual ~SystemCollator() = default;
    virtual std::unique_ptr<SystemCollator> Clone() const = 0;

    // Negative, zero or positive as a sorts before, equal to or after b.
    virtual int Compare(std::u16string_view a, std::u16string_view b) const = 0;
    // Writes the collation key of folded to the front of buffer, which grows as needed: bytes
    // whose byte order is Compare's, ending in their only 0 byte. Gives its length.
    virtual std::size_t WriteKey(std::u16string_view folded, std::string& buffer) = 0;
    // Writes the first `bytes` bytes of the key to the front of buffer (which holds at least
    // bytes + 1), without its closing 0; gives how many, fewer than bytes when the key is shorter.
    virtual std::size_t WriteKeyPrefix(std::u16string_view folded, std::size_t bytes,
                                       std::string& buffer) = 0;
    // The locale whose collation is in use, as ICU names it ("root" for the root collation).
    virtual std::string LocaleName() const = 0;
    // The rank codes of units (see SimpleKeyTable); null where the system has no simple keys.
    virtual std::unique_ptr<const SimpleKeyTable> MakeSimpleKeys(
        std::span<const char16_t> units) const = 0;
};

}  // namespace haojian
