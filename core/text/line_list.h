#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "core/text/nul_byte.h"

namespace haojian {

// The position of the first CR or LF of [data + from, data + size), or size; sixteen bytes at
// a time where the processor allows.
inline std::size_t FindLineEnd(const char* data, std::size_t from, std::size_t size) {
    std::size_t i = from;
#ifdef __SSE2__
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    for (; size - i >= 16; i += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
        const auto ends = unsigned(
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(bytes, cr), _mm_cmpeq_epi8(bytes, lf))));
        if (ends != 0) return i + std::size_t(std::countr_zero(ends));
    }
#endif
    while (i < size && data[i] != '\r' && data[i] != '\n') ++i;
    return i;
}

// Calls sink(line) for every line of text by the line rule: a NUL byte ends the text; a line
// ends at CR, LF or CR LF (LF CR is two ends); text after the last end is a last line, and an
// end at the very end adds no empty line. Lines are views into text, never trimmed.
template <class Sink>
void ForEachLine(std::string_view text, Sink&& sink) {
    if (const std::size_t nul = FindNul(text); nul != std::string_view::npos) {
        text = text.substr(0, nul);
    }
    const char* const data = text.data();
    const std::size_t size = text.size();
    std::size_t start = 0;
    while (start < size) {
        const std::size_t end = FindLineEnd(data, start, size);
        if (end == size) break;
        sink(std::string_view(data + start, end - start));
        start = end + ((data[end] == '\r' && end + 1 < size && data[end + 1] == '\n') ? 2 : 1);
    }
    if (start < size) sink(std::string_view(data + start, size - start));
}

// The first position at or after from where a line of text starts by the line rule (or the end
// of text): just after an LF, or after a CR that no LF follows. Text cut there splits into the
// same lines as the whole.
inline std::size_t LineStartFrom(std::string_view text, std::size_t from) {
    if (from == 0) return 0;
    for (std::size_t p = from; p < text.size(); ++p) {
        if (text[p - 1] == '\n' || (text[p - 1] == '\r' && text[p] != '\n')) return p;
    }
    return text.size();
}

// Cuts positions [first, first + length) (1-based) of text: the bytes of the range it has,
// empty when text ends before the range.
inline std::string_view CutField(std::string_view text, std::size_t first, std::size_t length) {
    if (text.size() < first) return {};
    return text.substr(first - 1, length);
}

// The lines of one text file, held as the file's own bytes plus one span per line.
class LineList {
public:
    LineList() = default;

    // Takes the file's bytes and splits them by the line rule.
    static LineList FromBytes(std::string bytes);

    // Appends one entry whole, line ends and NUL bytes in it included: for a list made of a
    // table's cells rather than of a file's lines.
    void Append(std::string_view entry) {
        spans_.push_back({bytes_.size(), entry.size()});
        bytes_.append(entry);
    }

    std::size_t size() const { return spans_.size(); }
    bool empty() const { return spans_.empty(); }
    std::string_view operator[](std::size_t i) const {
        return std::string_view(bytes_.data() + spans_[i].offset, spans_[i].length);
    }
    // Bytes held beyond the file's own: the per-line bookkeeping.
    std::size_t OverheadBytes() const { return spans_.capacity() * sizeof(Span); }

private:
    struct Span {
        std::uint64_t offset;
        std::uint64_t length;
    };
    std::string bytes_;
    std::vector<Span> spans_;
};

}  // namespace haojian
