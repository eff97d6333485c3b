#include "core/export/split_file_names.h"

#include <array>

#include "core/text/gbk.h"

namespace haojian {
namespace {

// Bytes of a name's UTF-8 before its extension: well inside both systems' limit of 255.
constexpr std::size_t kMaxBytes = 180;

constexpr std::array<std::string_view, 22> kDevices = {
    "con",  "prn",  "aux",  "nul",  "com1", "com2", "com3", "com4", "com5", "com6", "com7",
    "com8", "com9", "lpt1", "lpt2", "lpt3", "lpt4", "lpt5", "lpt6", "lpt7", "lpt8", "lpt9",
};

std::string Folded(std::string_view name) {
    std::string folded(name);
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    }
    return folded;
}

// The start of utf8 of at most bytes bytes, cut between characters.
std::string_view Shortened(std::string_view utf8, std::size_t bytes) {
    if (utf8.size() <= bytes) return utf8;
    std::size_t end = bytes;
    while (end > 0 && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80) --end;
    return utf8.substr(0, end);
}

std::string Cleaned(std::string_view value) {
    std::string name = Utf8FromGbk(value);
    for (char& c : name) {
        if (std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos ||
            static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            c = '_';
        }
    }
    name = std::string(Shortened(name, kMaxBytes));
    while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
    if (name.empty()) return "_";
    // CON, and CON.anything, name a device on Windows.
    const std::string stem = Folded(name.substr(0, name.find('.')));
    for (const std::string_view device : kDevices) {
        if (stem == device) return "_" + name;
    }
    return name;
}

}  // namespace

std::string SplitFileNames::Take(std::string_view value, std::string_view extension) {
    const std::string base = Cleaned(value);
    std::string name = base + std::string(extension);
    for (std::size_t n = 2; given_.count(Folded(name)) != 0; ++n) {
        name = base + " (" + std::to_string(n) + ")" + std::string(extension);
    }
    given_.insert(Folded(name));
    return name;
}

}  // namespace haojian
