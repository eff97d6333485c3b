#include "tools/support/gbk_digest.h"

#include <cstdio>
#include <string_view>

#include "core/text/gbk.h"

namespace haojian::tools {
namespace {

// FNV-1a, 64 bits.
class Hash {
public:
    void Add(std::uint32_t value) {
        for (int i = 0; i < 4; ++i) {
            value_ = (value_ ^ ((value >> (8 * i)) & 0xFF)) * 0x100000001B3ULL;
        }
    }
    std::uint64_t Value() const { return value_; }

private:
    std::uint64_t value_ = 0xCBF29CE484222325ULL;
};

void AppendRow(std::string& out, const char* name, const std::array<std::uint64_t, 256>& rows) {
    out += "    .";
    out += name;
    out += " = {\n";
    for (std::size_t i = 0; i < rows.size(); i += 3) {
        out += "       ";
        for (std::size_t k = i; k < i + 3 && k < rows.size(); ++k) {
            char hex[32];
            std::snprintf(hex, sizeof hex, " 0x%016llXULL,", (unsigned long long)rows[k]);
            out += hex;
        }
        out += "\n";
    }
    out += "    },\n";
}

}  // namespace

GbkDigest CurrentGbkDigest() {
    GbkDigest digest;
    for (std::uint32_t lead = 0; lead < 256; ++lead) {
        Hash hash;
        for (std::uint32_t trail = 0; trail < 256; ++trail) {
            const char pair[2] = {char(lead), char(trail)};
            const std::u16string units = Utf16FromGbk(std::string_view(pair, 2));
            hash.Add(std::uint32_t(units.size()));
            for (const char16_t u : units) hash.Add(u);
        }
        digest.decoding[lead] = hash.Value();
    }
    for (std::uint32_t high = 0; high < 256; ++high) {
        Hash hash;
        for (std::uint32_t low = 0; low < 256; ++low) {
            const char16_t unit = char16_t(high << 8 | low);
            const std::string bytes = GbkFromUtf16(std::u16string_view(&unit, 1));
            hash.Add(std::uint32_t(bytes.size()));
            for (const char b : bytes) hash.Add(static_cast<unsigned char>(b));
        }
        digest.encoding[high] = hash.Value();
    }
    return digest;
}

std::string GbkDigestSource(const GbkDigest& digest) {
    std::string out =
        "// Made by gbk_digest_gen on Linux (ICU's GBK converter); see "
        "tools/support/gbk_digest.h.\n"
        "{\n";
    AppendRow(out, "decoding", digest.decoding);
    AppendRow(out, "encoding", digest.encoding);
    out += "}\n";
    return out;
}

}  // namespace haojian::tools
