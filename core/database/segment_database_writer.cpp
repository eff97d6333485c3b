#include "core/database/segment_database_writer.h"

#include <algorithm>
#include <stdexcept>

#include "core/text/digits.h"

namespace haojian {
namespace {

std::uint32_t PrefixValue(std::string_view prefix) {
    return std::uint32_t(DecimalValue(prefix));
}

}  // namespace

SegmentDatabaseWriter::Added SegmentDatabaseWriter::Add(std::string_view prefix,
                                                        std::string_view city_code,
                                                        char card_digit) {
    if (!IsDigits(prefix, 7) || !IsDigits(city_code, 4) ||
        !IsDigits(std::string_view(&card_digit, 1), 1)) {
        throw std::invalid_argument("not a segment line: " + std::string(prefix) + " " +
                                    std::string(city_code) + " " + card_digit);
    }
    Line line;
    std::copy(prefix.begin(), prefix.end(), line.begin());
    std::copy(city_code.begin(), city_code.end(), line.begin() + 7);
    line[11] = card_digit;
    const auto [at, added] = index_.try_emplace(PrefixValue(prefix), std::uint32_t(lines_.size()));
    if (!added) return lines_[at->second] == line ? Added::kRepeat : Added::kConflict;
    lines_.push_back(line);
    return Added::kNew;
}

std::string_view SegmentDatabaseWriter::LineOf(std::string_view prefix) const {
    if (!IsDigits(prefix, 7)) return {};
    const auto at = index_.find(PrefixValue(prefix));
    if (at == index_.end()) return {};
    return std::string_view(lines_[at->second].data(), kLineBytes);
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
