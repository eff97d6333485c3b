#include "core/collation/simple_key_codes.h"

#include <algorithm>

namespace haojian {
namespace {

// Gives out rank codes in rank order: a byte of its own to a rank of an ASCII character, two
// bytes to any other, the first shared by a run of up to 255; none (0) once the first bytes
// are spent.
class RankCodes {
public:
    std::uint16_t Next(bool one_byte) {
        if (one_byte) {
            run_ = 0;  // two-byte codes after this one need a first byte above it
            return first_ <= 0xFF ? std::uint16_t(first_++) : 0;
        }
        if (run_ == 0 || second_ == 0xFF) {
            if (first_ > 0xFF) return 0;
            run_ = first_++;
            second_ = 0;
        }
        return std::uint16_t(run_ << 8 | ++second_);
    }

private:
    unsigned first_ = 1;  // the next first byte
    unsigned run_ = 0;    // the first byte of the run of two-byte codes, 0 when none is open
    unsigned second_ = 0;
};

}  // namespace

std::vector<std::uint16_t> RankSimpleKeyCodes(
    std::vector<std::pair<std::string, char16_t>> weighed) {
    std::vector<std::uint16_t> by_unit(0x10000, 0);
    std::sort(weighed.begin(), weighed.end());
    RankCodes codes;
    for (std::size_t first = 0; first < weighed.size();) {
        std::size_t end = first + 1;
        bool ascii = weighed[first].second < 0x80;
        while (end < weighed.size() && weighed[end].first == weighed[first].first) {
            ascii = ascii || weighed[end].second < 0x80;
            ++end;
        }
        // Beyond the codes there are, the rest stay not simple: the highest weights only, so
        // the order of the others holds.
        const std::uint16_t code = codes.Next(ascii);
        if (code == 0) break;
        for (; first < end; ++first) by_unit[weighed[first].second] = code;
    }
    return by_unit;
}

}  // namespace haojian
