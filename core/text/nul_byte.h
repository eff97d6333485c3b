#pragma once

#include <bit>
#include <cstddef>
#include <string_view>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace haojian {

// The position of the first NUL byte of text at or after from, or npos: the line rule's end of
// a text. Every list, file and piece is scanned for one before its lines are read, so this runs
// over every byte; a C library's memchr may go a byte at a time (wine's does), so the search
// takes sixty-four bytes at once where the processor allows.
inline std::size_t FindNul(std::string_view text, std::size_t from = 0) {
    const char* const data = text.data();
    const std::size_t size = text.size();
    std::size_t i = from;
#ifdef __SSE2__
    const __m128i zero = _mm_setzero_si128();
    const auto load = [&](std::size_t at) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at));
    };
    for (; i < size && size - i >= 64; i += 64) {
        const __m128i a = _mm_min_epu8(load(i), load(i + 16));
        const __m128i b = _mm_min_epu8(load(i + 32), load(i + 48));
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(a, b), zero)) != 0) break;
    }
    for (; i < size && size - i >= 16; i += 16) {
        const auto nuls = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(load(i), zero)));
        if (nuls != 0) return i + std::size_t(std::countr_zero(nuls));
    }
#endif
    for (; i < size; ++i) {
        if (data[i] == '\0') return i;
    }
    return std::string_view::npos;
}

// The first NUL character of text: a NUL byte, or in UTF-16 (utf16 true) a code unit of two
// NUL bytes at an even position; npos when there is none.
inline std::size_t FindNulCharacter(std::string_view text, bool utf16) {
    for (std::size_t at = FindNul(text); at != std::string_view::npos; at = FindNul(text, at + 1)) {
        if (!utf16) return at;
        if (at % 2 == 0 && at + 1 < text.size() && text[at + 1] == '\0') return at;
    }
    return std::string_view::npos;
}

}  // namespace haojian
