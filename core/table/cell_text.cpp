#include "core/table/cell_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "core/table/xml_stream.h"
#include "core/text/gbk.h"

namespace haojian {
namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// "_x000D_" stands for U+000D; "_x005F_" for "_" itself, which keeps a literal escape intact.
std::string Unescaped(std::string_view utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if (utf8[i] == '_' && i + 6 < utf8.size() && utf8[i + 1] == 'x' && utf8[i + 6] == '_') {
            int value = 0;
            bool hex = true;
            for (std::size_t k = 2; k < 6 && hex; ++k) {
                const int digit = HexValue(utf8[i + k]);
                hex = digit >= 0;
                value = value * 16 + digit;
            }
            if (hex && value < 0x80) {
                out += char(value);
                i += 6;
                continue;
            }
        }
        out += utf8[i];
    }
    return out;
}

// Days since 1970-01-01 as a civil date (Howard Hinnant's algorithm).
void CivilFromDays(long long z, long long& y, unsigned& m, unsigned& d) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = (long long)yoe + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    if (m <= 2) ++y;
}

// Whether a number format's code shows a date or time: a y, m, d, h or s outside quoted text,
// brackets and escaped characters.
bool IsDateCode(std::string_view code) {
    bool quoted = false;
    for (std::size_t i = 0; i < code.size(); ++i) {
        const char c = code[i];
        if (quoted) {
            quoted = c != '"';
            continue;
        }
        if (c == '"') {
            quoted = true;
        } else if (c == '\\' || c == '_' || c == '*') {
            ++i;
        } else if (c == '[') {
            const std::size_t close = code.find(']', i);
            if (close == std::string_view::npos) return false;
            // [h], [mm], [ss]: elapsed time; [$-804], [Red]: no date.
            const std::string_view inside = code.substr(i + 1, close - i - 1);
            if (!inside.empty() && (inside[0] == 'h' || inside[0] == 'm' || inside[0] == 's' ||
                                    inside[0] == 'H' || inside[0] == 'M' || inside[0] == 'S')) {
                return true;
            }
            i = close;
        } else {
            switch (c) {
                case 'y':
                case 'Y':
                case 'm':
                case 'M':
                case 'd':
                case 'D':
                case 'h':
                case 'H':
                case 's':
                case 'S':
                    return true;
                default:
                    break;
            }
        }
    }
    return false;
}

bool IsBuiltInDateFormat(int id) {
    return (id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) ||
           (id >= 50 && id <= 58) || (id >= 71 && id <= 81);
}

class StylesHandler final : public XmlHandler {
public:
    void Start(std::string_view name, const char** attributes) override {
        if (name == "numFmt") {
            codes[std::atoi(std::string(XmlAttribute(attributes, "numFmtId")).c_str())] =
                std::string(XmlAttribute(attributes, "formatCode"));
        } else if (name == "cellXfs") {
            in_cell_xfs = true;
        } else if (name == "xf" && in_cell_xfs) {
            formats.push_back(std::atoi(std::string(XmlAttribute(attributes, "numFmtId")).c_str()));
        }
    }
    void End(std::string_view name) override {
        if (name == "cellXfs") in_cell_xfs = false;
    }
    void Text(std::string_view) override {}

    std::map<int, std::string> codes;
    std::vector<int> formats;  // each cell style's number format
    bool in_cell_xfs = false;
};

}  // namespace

std::string CellTextFromUtf8(std::string_view utf8) {
    bool ascii = true;
    for (const char c : utf8) {
        if (static_cast<unsigned char>(c) >= 0x80 || c == '_') {
            ascii = false;
            break;
        }
    }
    if (ascii) return std::string(utf8);
    std::string text =
        utf8.find("_x") == std::string_view::npos ? std::string(utf8) : Unescaped(utf8);
    for (std::size_t at = text.find("\xC2\xA0"); at != std::string::npos;
         at = text.find("\xC2\xA0", at)) {
        text.replace(at, 2, " ");
    }
    return GbkFromUtf8(text);
}

std::string NumberText(std::string_view stored) {
    // Whole numbers, as most are stored, read as they stand.
    if (!stored.empty() && (stored[0] != '0' || stored.size() == 1) &&
        std::all_of(stored.begin(), stored.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::string(stored);
    }
    std::string_view s = stored;
    std::string sign;
    if (!s.empty() && (s[0] == '-' || s[0] == '+')) {
        if (s[0] == '-') sign = "-";
        s.remove_prefix(1);
    }
    long long exponent = 0;
    if (const std::size_t e = s.find_first_of("eE"); e != std::string_view::npos) {
        const std::string power(s.substr(e + 1));
        char* end = nullptr;
        exponent = std::strtoll(power.c_str(), &end, 10);
        if (power.empty() || *end != '\0' || exponent > 400 || exponent < -400) {
            return std::string(stored);
        }
        s = s.substr(0, e);
    }
    // The digits, and how many of them stand before the point.
    std::string digits;
    long long whole = -1;
    for (const char c : s) {
        if (c == '.' && whole < 0) {
            whole = (long long)digits.size();
        } else if (c >= '0' && c <= '9') {
            digits += c;
        } else {
            return std::string(stored);  // not a number as workbooks store them
        }
    }
    if (digits.empty()) return std::string(stored);
    if (whole < 0) whole = (long long)digits.size();
    whole += exponent;
    if (whole <= 0) {
        digits.insert(0, std::size_t(-whole), '0');
        whole = 0;
    } else if (whole > (long long)digits.size()) {
        digits.append(std::size_t(whole) - digits.size(), '0');
    }
    std::string integer = digits.substr(0, std::size_t(whole));
    std::string fraction = digits.substr(std::size_t(whole));
    integer.erase(0, std::min(integer.find_first_not_of('0'), integer.size()));
    if (integer.empty()) integer = "0";
    fraction.erase(fraction.find_last_not_of('0') + 1);
    if (integer == "0" && fraction.empty()) sign.clear();
    return sign + integer + (fraction.empty() ? "" : "." + fraction);
}

std::string DateText(double serial, bool date1904) {
    if (!std::isfinite(serial) || serial < 0 || serial > 2958466)
        return NumberText(std::to_string(serial));
    long long days = (long long)std::floor(serial);
    long long seconds = std::llround((serial - double(days)) * 86400.0);
    if (seconds == 86400) {
        ++days;
        seconds = 0;
    }
    char text[32];
    std::string out;
    if (serial >= 1 || date1904) {
        // Serial 1 is 1900-01-01; the 1900 system counts a 29 February 1900 that never was.
        long long from_1970 = date1904 ? days - 24107 : days - 25569;
        if (!date1904 && days < 61) ++from_1970;
        long long y = 0;
        unsigned m = 0, d = 0;
        if (!date1904 && days == 60) {
            y = 1900, m = 2, d = 29;
        } else {
            CivilFromDays(from_1970, y, m, d);
        }
        std::snprintf(text, sizeof text, "%04lld-%02u-%02u", y, m, d);
        out = text;
    }
    if (seconds != 0 || out.empty()) {
        std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60,
                      seconds % 60);
        out += (out.empty() ? "" : " ") + std::string(text);
    }
    return out;
}

std::vector<bool> DateStyles(ZipParts& zip, const std::string& styles_part) {
    std::vector<bool> dates;
    if (styles_part.empty() || !zip.Has(styles_part)) return dates;
    StylesHandler styles;
    XmlStream xml(styles, zip.path(), styles_part);
    xml.Feed(zip.ReadWhole(styles_part), true);
    for (const int id : styles.formats) {
        const auto code = styles.codes.find(id);
        dates.push_back(code != styles.codes.end() ? IsDateCode(code->second)
                                                   : IsBuiltInDateFormat(id));
    }
    return dates;
}

}  // namespace haojian
