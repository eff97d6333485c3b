#pragma once

// The search that places a general line among the digit lines sorted before it.

#include <algorithm>
#include <cstddef>

namespace haojian::sorting {

// The first index of [from, end) at which before(index) is false, before being true on a
// prefix of that range (end when it is true throughout). Gallops out from from, then halves,
// so that an answer close to from costs few calls.
template <typename Before>
std::size_t GallopPast(std::size_t from, std::size_t end, Before before) {
    std::size_t low = from;
    std::size_t high = from;
    for (std::size_t step = 1; high < end && before(high); step *= 2) {
        low = high + 1;
        high += step;
    }
    high = std::min(high, end);
    while (low < high) {
        const std::size_t mid = low + (high - low) / 2;
        if (before(mid)) {
            low = mid + 1;
        } else {
            high = mid;
        }
    }
    return low;
}

}  // namespace haojian::sorting
