#pragma once

#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace haojian {

// Rows of cells packed into one byte string, so that threads can hand a chunk's rows on in one
// block: each row is its cell count, then each cell's length and bytes (counts and lengths as
// 32-bit numbers in the machine's order). Cells may hold any bytes.
inline void AppendPackedRow(std::string& out, std::span<const std::string_view> cells) {
    const auto number = [&](std::size_t n) {
        const auto value = static_cast<std::uint32_t>(n);
        out.append(reinterpret_cast<const char*>(&value), sizeof value);
    };
    number(cells.size());
    for (const std::string_view cell : cells) {
        number(cell.size());
        out.append(cell);
    }
}

// Calls take with the cells of every row of packed, in order.
template <typename Take>
void ForEachPackedRow(std::string_view packed, Take&& take) {
    std::vector<std::string_view> cells;
    const auto number = [&](std::size_t& at) {
        std::uint32_t value = 0;
        std::memcpy(&value, packed.data() + at, sizeof value);
        at += sizeof value;
        return std::size_t(value);
    };
    for (std::size_t at = 0; at < packed.size();) {
        cells.resize(number(at));
        for (std::string_view& cell : cells) {
            const std::size_t size = number(at);
            cell = packed.substr(at, size);
            at += size;
        }
        take(std::span<const std::string_view>(cells));
    }
}

}  // namespace haojian
