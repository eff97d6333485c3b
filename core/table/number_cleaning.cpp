#include "core/table/number_cleaning.h"

#include <vector>

namespace haojian {
namespace {

enum class Piece { kDigit, kSeparator, kPlus, kOther };

// The next character of the GBK text at i, as cleaning sees it; i moves past it. Full-width
// forms (GBK row A3) count as their ASCII letters, the ideographic space as a space.
Piece NextPiece(std::string_view text, std::size_t& i, char& digit) {
    auto c = static_cast<unsigned char>(text[i++]);
    if (c >= 0x81 && i < text.size()) {
        const auto trail = static_cast<unsigned char>(text[i++]);
        if (c == 0xA1 && trail == 0xA1) return Piece::kSeparator;
        if (c != 0xA3 || trail < 0xA1) return Piece::kOther;
        c = static_cast<unsigned char>(trail - 0x80);
    }
    if (c >= '0' && c <= '9') {
        digit = char(c);
        return Piece::kDigit;
    }
    switch (c) {
        case ' ':
        case '-':
        case '.':
        case '(':
        case ')':
        case '/':
            return Piece::kSeparator;
        case '+':
            return Piece::kPlus;
        default:
            return Piece::kOther;
    }
}

bool IsMobile(std::string_view digits) {
    return digits.size() == 11 && digits[0] == '1';
}

// The mobile number that digits make, a country code before it dropped; empty for none.
std::string_view MobileOf(std::string_view digits) {
    if (IsMobile(digits)) return digits;
    if (digits.starts_with("86") && IsMobile(digits.substr(2))) return digits.substr(2);
    if (digits.starts_with("0086") && IsMobile(digits.substr(4))) return digits.substr(4);
    return {};
}

// Digits typed with separators between them, as groups: the first group of groups that,
// joined, make a mobile number. A long run may hold several numbers, so groups are joined from
// each start in turn; a group is never cut.
std::string_view FindInRun(std::string_view digits, const std::vector<std::size_t>& ends) {
    constexpr std::size_t kLongest = 15;  // "0086" and eleven digits
    for (std::size_t first = 0; first < ends.size(); ++first) {
        const std::size_t begin = first == 0 ? 0 : ends[first - 1];
        for (std::size_t last = first; last < ends.size(); ++last) {
            if (ends[last] - begin > kLongest) break;
            const std::string_view found = MobileOf(digits.substr(begin, ends[last] - begin));
            if (!found.empty()) return found;
        }
    }
    return {};
}

}  // namespace

CleanedNumber CleanNumber(std::string_view entry) {
    bool plain = IsMobile(entry);
    for (std::size_t i = 0; plain && i < entry.size(); ++i)
        plain = entry[i] >= '0' && entry[i] <= '9';
    if (plain) return {CleanedNumber::Kind::kUnchanged, std::string(entry)};

    std::string digits;
    std::vector<std::size_t> ends;  // where each group of digits ends in digits
    bool in_group = false;
    const auto end_run = [&]() -> std::string_view {
        if (in_group) ends.push_back(digits.size());
        in_group = false;
        const std::string_view found = FindInRun(digits, ends);
        if (found.empty()) {
            digits.clear();
            ends.clear();
        }
        return found;
    };
    for (std::size_t i = 0; i < entry.size();) {
        char digit = 0;
        const Piece piece = NextPiece(entry, i, digit);
        if (piece == Piece::kDigit) {
            digits += digit;
            in_group = true;
        } else if (piece == Piece::kSeparator || (piece == Piece::kPlus && digits.empty())) {
            if (in_group) ends.push_back(digits.size());
            in_group = false;
        } else if (const std::string_view found = end_run(); !found.empty()) {
            return {CleanedNumber::Kind::kCleaned, std::string(found)};
        }
    }
    if (const std::string_view found = end_run(); !found.empty()) {
        return {CleanedNumber::Kind::kCleaned, std::string(found)};
    }
    return {CleanedNumber::Kind::kNoNumber, std::string(entry)};
}

}  // namespace haojian
