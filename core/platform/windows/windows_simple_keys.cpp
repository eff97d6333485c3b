#include "core/platform/windows/windows_simple_keys.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>
#include <utility>

#include "core/collation/simple_key_codes.h"

namespace haojian {
namespace {

// A sort key is the texts' primary weights, then the level separator 01 and the weights of the
// other levels, each level ended by 01, the last by 00. Between texts whose other levels hold
// nothing, the primary weights alone decide.
class KeyProbe {
public:
    explicit KeyProbe(const wchar_t* locale) : locale_(locale) {}

    // The sort key of a text (not empty); empty when the system gives none.
    std::string Key(std::u16string_view text) {
        const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
        const int length = int(text.size());
        const int needed = ::LCMapStringEx(locale_, LCMAP_SORTKEY | NORM_IGNORECASE, wide, length,
                                           nullptr, 0, nullptr, nullptr, 0);
        if (needed <= 0) return {};
        std::string key(std::size_t(needed), '\0');
        const int n =
            ::LCMapStringEx(locale_, LCMAP_SORTKEY | NORM_IGNORECASE, wide, length,
                            reinterpret_cast<wchar_t*>(key.data()), needed, nullptr, nullptr, 0);
        key.resize(std::size_t(std::max(n, 0)));
        return key;
    }

private:
    const wchar_t* locale_;
};

// What a key holds after its primary weights when the other levels hold nothing: from the key
// of "a".
std::string EmptyLevels(KeyProbe& probe) {
    const std::string key = probe.Key(u"a");
    const std::size_t separator = key.find('\x01');
    if (separator == 0 || separator == std::string::npos) return {};
    return key.substr(separator);
}

struct Weighed {
    std::string primary;
    char16_t unit;
};

// Whether the key of the units in turn is their primaries in turn: no weight of one changes
// with its neighbours.
bool KeyIsTheirPrimaries(KeyProbe& probe, const std::u16string& text,
                         const std::vector<const std::string*>& primaries,
                         const std::string& empty_levels) {
    std::string expected;
    for (const std::string* p : primaries) expected += *p;
    expected += empty_levels;
    return probe.Key(text) == expected;
}

// Drops from simple the units whose weight changes next to neighbour: each unit of a block
// stands between two copies of it, and a block whose key is not the plain sequence of weights
// is halved until the units at fault are found. Few blocks fail, so few keys are made.
void DropWhereNeighbourChangesWeight(KeyProbe& probe, const Weighed& neighbour,
                                     std::vector<Weighed>& simple,
                                     const std::string& empty_levels) {
    std::vector<bool> drop(simple.size(), false);
    const auto check = [&](auto&& self, std::size_t first, std::size_t end) -> void {
        std::u16string text(1, neighbour.unit);
        std::vector<const std::string*> primaries{&neighbour.primary};
        for (std::size_t i = first; i < end; ++i) {
            text += simple[i].unit;
            text += neighbour.unit;
            primaries.push_back(&simple[i].primary);
            primaries.push_back(&neighbour.primary);
        }
        if (KeyIsTheirPrimaries(probe, text, primaries, empty_levels)) return;
        if (end - first == 1) {
            drop[first] = true;
            return;
        }
        const std::size_t middle = first + (end - first) / 2;
        self(self, first, middle);
        self(self, middle, end);
    };
    constexpr std::size_t kBlock = 512;
    for (std::size_t first = 0; first < simple.size(); first += kBlock) {
        check(check, first, std::min(simple.size(), first + kBlock));
    }
    std::size_t i = 0;
    std::erase_if(simple, [&](const Weighed&) { return drop[i++]; });
}

// Whether some ASCII letters, digits or signs weigh together, two or three as one (as "cs" and
// "dzs" do in Hungarian): every pair of the ASCII units, and every triple of letters.
bool AsciiJoins(KeyProbe& probe, const std::vector<Weighed>& simple,
                const std::string& empty_levels) {
    std::vector<const Weighed*> ascii;
    std::vector<const Weighed*> letters;
    for (const Weighed& w : simple) {
        if (w.unit >= 0x80) continue;
        ascii.push_back(&w);
        if (std::isalpha(int(w.unit))) letters.push_back(&w);
    }
    // Whether the key of the units in turn differs from their weights in turn.
    const auto joins = [&](const std::vector<const Weighed*>& run) {
        std::u16string text;
        std::vector<const std::string*> primaries;
        for (const Weighed* w : run) {
            text += w->unit;
            primaries.push_back(&w->primary);
        }
        return !text.empty() && !KeyIsTheirPrimaries(probe, text, primaries, empty_levels);
    };
    for (const Weighed* a : ascii) {
        std::vector<const Weighed*> pairs;
        for (const Weighed* b : ascii) pairs.insert(pairs.end(), {a, b});
        if (joins(pairs)) return true;
    }
    for (const Weighed* a : letters) {
        std::vector<const Weighed*> triples;
        for (const Weighed* b : letters) {
            for (const Weighed* c : letters) triples.insert(triples.end(), {a, b, c});
        }
        if (joins(triples)) return true;
    }
    return false;
}

}  // namespace

std::vector<std::uint16_t> WindowsSimpleKeyCodes(const wchar_t* locale,
                                                 std::span<const char16_t> units) {
    KeyProbe probe(locale);
    const std::string empty_levels = EmptyLevels(probe);
    if (empty_levels.empty()) return RankSimpleKeyCodes({});

    // Units whose own key is a primary weight and nothing else.
    std::vector<Weighed> simple;
    for (const char16_t u : units) {
        if (u >= 0xD800 && u <= 0xDFFF) continue;
        const std::string key = probe.Key(std::u16string_view(&u, 1));
        const std::size_t separator = key.find('\x01');
        if (separator == 0 || separator == std::string::npos) continue;
        if (std::string_view(key).substr(separator) != empty_levels) continue;
        simple.push_back({key.substr(0, separator), u});
    }
    if (AsciiJoins(probe, simple, empty_levels)) return RankSimpleKeyCodes({});

    // Weights that depend on the character before or after (the kana length mark and the
    // iteration marks take the sound of the kana they follow), tried next to a unit of each
    // script a text mixes.
    for (const char16_t neighbour : {u'a', u'0', u' ', u'一', u'中', u'あ', u'ア'}) {
        const auto it = std::find_if(simple.begin(), simple.end(),
                                     [&](const Weighed& w) { return w.unit == neighbour; });
        if (it == simple.end()) continue;
        const Weighed copy = *it;
        DropWhereNeighbourChangesWeight(probe, copy, simple, empty_levels);
    }

    // A weight that begins another (as "s" does "ss", the weight of "ß") would order the longer
    // by its first part alone: in byte order a weight is followed by those it begins, and only
    // the first of them stays.
    std::sort(simple.begin(), simple.end(),
              [](const Weighed& a, const Weighed& b) { return a.primary < b.primary; });
    std::vector<std::pair<std::string, char16_t>> weighed;
    for (Weighed& w : simple) {
        if (!weighed.empty() && w.primary.size() > weighed.back().first.size() &&
            w.primary.starts_with(weighed.back().first)) {
            continue;
        }
        weighed.emplace_back(std::move(w.primary), w.unit);
    }
    return RankSimpleKeyCodes(std::move(weighed));
}

}  // namespace haojian
