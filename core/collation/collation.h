#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "core/base/own_cache_line.h"

namespace haojian {

class SimpleKeyTable;
class SystemCollator;

// The one case-insensitive locale comparison of the system: code look-ups, the run's sorted
// province and city lists and the merged lines all use it.
//
// Texts are GBK bytes, decoded one to one, case folded and compared by the system's collation
// of the user's default locale (see SystemCollator): on Linux ICU's at tertiary strength
// (secondary would also merge full-width and half-width forms), under the C or POSIX locale the
// root collation; on Windows CompareStringEx's, case ignored. Texts that the
// collation finds equal are ordered by their folded code units, so two texts are equal only
// when they differ in letter case alone.
//
// Immutable after construction; safe to share between threads.
class LocaleCollation {
public:
    // The user's default locale (on Linux: LC_ALL, LC_COLLATE, LANG).
    LocaleCollation();
    // A named locale, such as "zh_CN" or "" for root.
    explicit LocaleCollation(const char* locale_name);
    ~LocaleCollation();
    LocaleCollation(const LocaleCollation&) = delete;
    LocaleCollation& operator=(const LocaleCollation&) = delete;

    // Negative, zero or positive as a sorts before, equal to or after b.
    int Compare(std::string_view a, std::string_view b) const;
    bool Equal(std::string_view a, std::string_view b) const { return Compare(a, b) == 0; }
    bool Less(std::string_view a, std::string_view b) const { return Compare(a, b) < 0; }

    // A byte string whose plain byte order (memcmp, shorter first) is the order of Compare: the
    // collation key of the text (see KeyWriter), then its folded code units, high byte first.
    std::string SortKey(std::string_view text) const;

    // The case-folded code units of text, the units that Compare compares: two texts are equal
    // exactly when these are. Replaces the content of out, reusing its storage.
    static void Fold(std::string_view text, std::u16string& out);
    // Whether the folded code units of a and b are equal (so a and b compare equal), found
    // without storing them.
    static bool FoldedEqual(std::string_view a, std::string_view b);
    // A hash of the folded code units of text: texts that compare equal hash alike.
    static std::uint64_t FoldedHash(std::string_view text);

    class KeyWriter;

    // The name of the locale whose collation is in use, as ICU names it ("root" for the root
    // collation).
    std::string LocaleName() const;

    // The rank codes of the characters this collation weighs one by one (see SimpleKeyTable),
    // made on first use; none where the system has no simple keys.
    const SimpleKeyTable& SimpleKeys() const;

private:
    std::unique_ptr<SystemCollator> collator_;
    mutable std::once_flag simple_keys_made_;
    mutable std::unique_ptr<const SimpleKeyTable> simple_keys_;
};

// Makes collation keys of text after text without allocating for each, for one thread: each
// writer has its own copy of the collator, so that writers on one LocaleCollation may run on
// threads of their own; each on cache lines of its own, as its buffers change with every key.
class alignas(kCacheLine) LocaleCollation::KeyWriter {
public:
    explicit KeyWriter(const LocaleCollation& collation);
    ~KeyWriter();
    KeyWriter(const KeyWriter&) = delete;
    KeyWriter& operator=(const KeyWriter&) = delete;

    // The collation key of text: the bytes SortKey(text) begins with, up to and including their
    // only 0 byte. Texts with equal collation keys order by their folded code units, in code
    // point order. Valid until the next call.
    std::string_view CollationKey(std::string_view text);
    // The first `bytes` bytes of CollationKey(text), all of it when it is shorter: made only as
    // far as needed, which for a short prefix is a fraction of the work. Valid until the next
    // call.
    std::string_view CollationKeyPrefix(std::string_view text, std::size_t bytes);
    // The first `bytes` bytes of the simple key of text (see SimpleKeyTable), all of it with its
    // closing 0 when it is shorter; none when text holds a character that is not simple. The
    // whole text is looked at either way. Simple keys order like collation keys between texts
    // that both have one, never against a collation key. Valid until the next call.
    std::optional<std::string_view> SimpleKeyPrefix(std::string_view text, std::size_t bytes);

private:
    const LocaleCollation& collation_;
    std::unique_ptr<SystemCollator> collator_;
    std::u16string folded_;
    std::string key_;
};

// The comparison for the user's default locale, made on first use.
const LocaleCollation& DefaultCollation();

}  // namespace haojian
