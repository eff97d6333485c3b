// ReadSegmentTable on any bytes: it never fails but by Error, rows come in line order within
// the text; and any fields written as a quoted CSV table (separators, doubled quotes, line
// breaks inside) are read back exactly.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/error.h"
#include "core/database/segment_table.h"

namespace {

void AnyBytes(std::string_view bytes) {
    std::size_t last_line = 1;
    try {
        const haojian::SegmentTable table =
            haojian::ReadSegmentTable(bytes, [&](const haojian::SegmentTable::Row& row) {
                if (row.line <= last_line) std::abort();
                last_line = row.line;
            });
        if (table.separator != ',' && table.separator != '\t') std::abort();
    } catch (const haojian::Error&) {
    }
}

// The bytes as rows of four fields: 0x01 ends a field, 0x02 a row; other bytes are folded into
// the printable ASCII, line ends, quotes and separators that fields may hold.
void RoundTrip(std::string_view bytes) {
    std::vector<std::vector<std::string>> rows(1, std::vector<std::string>(1));
    for (const char c : bytes) {
        if (c == '\x01') {
            if (rows.back().size() < 4) rows.back().emplace_back();
        } else if (c == '\x02') {
            rows.emplace_back(1);
        } else {
            const auto b = static_cast<unsigned char>(c) % 100;
            rows.back().back().push_back(b < 90 ? char(' ' + b % 95) : "\r\n\",\t"[b % 5]);
        }
    }
    std::string table = "phone,province,city,isp\r\n";
    for (auto& row : rows) {
        row.resize(4);
        for (std::size_t i = 0; i < 4; ++i) {
            table += i == 0 ? "\"" : ",\"";
            for (const char c : row[i]) table += c == '"' ? std::string("\"\"") : std::string(1, c);
            table += '"';
        }
        table += "\r\n";
    }
    std::size_t seen = 0;
    haojian::ReadSegmentTable(table, [&](const haojian::SegmentTable::Row& row) {
        if (seen >= rows.size() || !row.complete) std::abort();
        const std::vector<std::string>& expected = rows[seen++];
        if (row.prefix != expected[0] || row.province != expected[1] || row.city != expected[2] ||
            row.carrier != expected[3]) {
            std::abort();
        }
    });
    if (seen != rows.size()) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    AnyBytes(bytes);
    RoundTrip(bytes);
    return 0;
}
