#pragma once

#include <cstddef>

namespace haojian {

// The size of a cache line on the processors the program runs on.
inline constexpr std::size_t kCacheLine = 64;

// A value on cache lines of its own, for values that threads write side by side: neighbours
// on one line would make each thread's writes wait for the other's.
template <class T>
struct alignas(kCacheLine) OwnCacheLine {
    T value;
};

}  // namespace haojian
