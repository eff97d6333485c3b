#include "bench/support/generated_data.h"

#include <algorithm>
#include <random>
#include <vector>

#include "core/lookup/built_in_code_rows.h"
#include "core/text/line_list.h"

namespace haojian::bench {

std::string GenerateDatabaseBytes(std::size_t lines, std::uint32_t seed) {
    std::mt19937 rng(seed);
    // Every segment 1300000..1999999 is a candidate; keep `lines` of them in ascending order.
    constexpr std::uint32_t kFirst = 1300000;
    constexpr std::uint32_t kCount = 700000;
    std::vector<std::uint32_t> segments(kCount);
    for (std::uint32_t i = 0; i < kCount; ++i) segments[i] = kFirst + i;
    std::shuffle(segments.begin(), segments.end(), rng);
    segments.resize(std::min<std::size_t>(lines, kCount));
    std::sort(segments.begin(), segments.end());
    std::string bytes;
    bytes.reserve(segments.size() * 14);
    for (const std::uint32_t segment : segments) {
        bytes += std::to_string(segment);
        bytes += kBuiltInCityRows[rng() % kBuiltInCityRows.size()].code;
        bytes += char('1' + rng() % 4);
        bytes += "\r\n";
    }
    return bytes;
}

std::string GenerateNumberBytes(const std::string& database_bytes, std::size_t count,
                                double matched, std::uint32_t seed) {
    std::mt19937 rng(seed);
    const LineList lines = LineList::FromBytes(database_bytes);
    std::bernoulli_distribution in_segment(matched);
    std::string bytes;
    bytes.reserve(count * 13);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t start = bytes.size();
        if (!lines.empty() && in_segment(rng)) {
            bytes += lines[rng() % lines.size()].substr(0, 7);
        } else {
            bytes += '1';
        }
        while (bytes.size() - start < 11) bytes += char('0' + rng() % 10);
        bytes += "\r\n";
    }
    return bytes;
}

}  // namespace haojian::bench
