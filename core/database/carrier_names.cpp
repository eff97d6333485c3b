#include "core/database/carrier_names.h"

#include <array>
#include <string>

namespace haojian {
namespace {

struct Carrier {
    char digit;
    std::array<std::string_view, 4> marks;  // any of them in the name names the carrier
};

// Virtual operators first: 移动虚拟 names the virtual operator, not 移动.
constexpr std::array<Carrier, 4> kCarriers = {{
    {'4', {"虚拟", "virtual", "mvno", ""}},
    {'1', {"移动", "mobile", "cmcc", ""}},
    {'2', {"电信", "telecom", "ctcc", ""}},
    {'3', {"联通", "unicom", "cucc", ""}},
}};

// The digits of the carriers that name marks: the virtual operator's alone when it is among
// them (移动虚拟 rides on 移动 but is 虚拟).
std::string NamedDigits(std::string_view name) {
    std::string lower(name);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    }
    std::string digits;
    for (const Carrier& carrier : kCarriers) {
        for (const std::string_view mark : carrier.marks) {
            if (!mark.empty() && lower.find(mark) != std::string::npos) {
                if (carrier.digit == '4') return "4";
                digits.push_back(carrier.digit);
                break;
            }
        }
    }
    return digits;
}

}  // namespace

std::optional<char> CardDigitForCarrier(std::string_view name) {
    const std::string digits = NamedDigits(name);
    if (digits.size() != 1) return std::nullopt;
    return digits[0];
}

bool IsAmbiguousCarrier(std::string_view name) {
    return NamedDigits(name).size() > 1;
}

}  // namespace haojian
