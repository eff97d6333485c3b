#include "core/database/segment_database_writer.h"

#include <algorithm>
#include <stdexcept>

#include "core/text/digits.h"

namespace haojian {

bool SegmentDatabaseWriter::Add(std::string_view prefix, std::string_view city_code,
                                char card_digit) {
    if (!IsDigits(prefix, 7) || !IsDigits(city_code, 4) ||
        !IsDigits(std::string_view(&card_digit, 1), 1)) {
        throw std::invalid_argument("not a segment line: " + std::string(prefix) + " " +
                                    std::string(city_code) + " " + card_digit);
    }
    const std::size_t value = DecimalValue(prefix);
    if (taken_.empty()) taken_.resize(10000000);
    if (taken_[value]) return false;
    taken_[value] = true;
    Line line;
    std::copy(prefix.begin(), prefix.end(), line.begin());
    std::copy(city_code.begin(), city_code.end(), line.begin() + 7);
    line[11] = card_digit;
    lines_.push_back(line);
    return true;
}

std::string SegmentDatabaseWriter::Bytes() const {
    std::vector<Line> sorted = lines_;
    // Prefixes are distinct, so the first seven bytes decide the order.
    std::sort(sorted.begin(), sorted.end());
    std::string bytes;
    bytes.reserve(sorted.size() * (kLineBytes + 2));
    for (const Line& line : sorted) {
        bytes.append(line.data(), line.size());
        bytes.append("\r\n");
    }
    return bytes;
}

void SegmentDatabaseWriter::Write(const std::string& path, FileSystem& fs) const {
    ReplacementFile file(fs, path);
    file.file().Write(Bytes());
    file.Commit();
}

}  // namespace haojian
