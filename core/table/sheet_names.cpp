#include "core/table/sheet_names.h"

#include <string>

#include "core/text/gbk.h"

namespace haojian {
namespace {

constexpr std::size_t kMaxUnits = 31;

// UTF-16 code units of a UTF-8 text: Excel counts a name's length in them.
std::size_t Units(std::string_view utf8) {
    std::size_t units = 0;
    for (const char c : utf8) {
        const auto b = static_cast<unsigned char>(c);
        if ((b & 0xC0) != 0x80) units += b >= 0xF0 ? 2 : 1;
    }
    return units;
}

// The longest start of utf8 of at most units code units, cut between characters.
std::string_view Shortened(std::string_view utf8, std::size_t units) {
    std::size_t taken = 0;
    std::size_t end = 0;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        const std::size_t size = b < 0x80 ? 1 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : 2;
        const std::size_t width = size == 4 ? 2 : 1;
        if (taken + width > units) break;
        taken += width;
        i += size;
        end = i;
    }
    return utf8.substr(0, end);
}

std::string Folded(std::string_view name) {
    std::string folded(name);
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    }
    return folded;
}

std::string Cleaned(std::string_view value) {
    std::string name = Utf8FromGbk(value);
    for (char& c : name) {
        if (std::string_view("[]:*?/\\").find(c) != std::string_view::npos ||
            static_cast<unsigned char>(c) < 0x20) {
            c = '_';
        }
    }
    if (!name.empty() && name.front() == '\'') name.front() = '_';
    if (!name.empty() && name.back() == '\'') name.back() = '_';
    if (name.empty()) name = "_";
    return name;
}

}  // namespace

bool SheetNames::Given(const std::string& name) const {
    const std::string folded = Folded(name);
    return folded == "history" || given_.count(folded) != 0;
}

std::string SheetNames::Take(std::string_view value, std::size_t part) {
    const std::string base = Cleaned(value);
    std::string name;
    for (std::size_t extra = 1;; ++extra) {
        std::string mark;
        if (part > 1) mark = " (" + std::to_string(part) + ")";
        if (extra > 1) mark += " (" + std::to_string(extra) + ")";
        const std::string_view kept = Shortened(base, kMaxUnits - Units(mark));
        name = std::string(kept.empty() ? "_" : kept) + mark;
        // A name cut just before its mark may now end in an apostrophe.
        if (mark.empty() && name.back() == '\'') name.back() = '_';
        if (!Given(name)) break;
    }
    given_.insert(Folded(name));
    return name;
}

}  // namespace haojian
