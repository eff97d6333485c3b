#include "core/database/database_check.h"

#include <algorithm>

#include "core/database/place_names.h"
#include "core/lookup/code_table.h"
#include "core/text/digits.h"
#include "core/text/line_list.h"
#include "core/text/nul_byte.h"

namespace haojian {

bool DatabaseCheck::Faulty() const {
    return bad_prefix.count != 0 || short_lines.count != 0 || unknown_province.count != 0 ||
           unknown_city.count != 0 || unknown_card.count != 0 ||
           (nul_offset && bytes_after_nul != 0) || sound == 0;
}

DatabaseCheck CheckSegmentDatabase(std::string_view bytes, const LocaleCollation& collation) {
    DatabaseCheck check;
    if (const std::size_t nul = FindNul(bytes); nul != std::string_view::npos) {
        check.nul_offset = nul;
        check.bytes_after_nul = bytes.size() - nul - 1;
    }
    CodeTables tables;
    ReloadCodeTables(tables);
    std::vector<bool> used(10000000);
    ForEachLine(bytes, [&](std::string_view line) {
        const std::size_t number = ++check.lines;
        if (line.empty()) {
            check.empty.Add(number, line);
            return;
        }
        const std::string_view prefix = line.substr(0, 7);
        if (!IsDigits(prefix, 7)) {
            check.bad_prefix.Add(number, line);
            return;
        }
        const std::size_t value = DecimalValue(prefix);
        if (used[value]) {
            check.repeated.Add(number, line);
            return;
        }
        used[value] = true;
        const std::size_t block = value / 10000;
        if (block >= 130 && block <= 199) {
            ++check.per_block[block - 130];
        } else {
            ++check.other_blocks;
        }
        if (line.size() < 12) {
            check.short_lines.Add(number, line);
            return;
        }
        const std::string_view province = line.substr(7, 2);
        const std::string_view city = line.substr(7, 4);
        bool sound = true;
        if (!tables.provinces.Find(province, collation)) {
            check.unknown_province.Add(number, line);
            sound = false;
        }
        if (!tables.cities.Find(city, collation)) {
            if (city.substr(2) == kUnlistedCitySuffix &&
                tables.provinces.Find(province, collation)) {
                check.province_level.Add(number, line);
            } else {
                check.unknown_city.Add(number, line);
                sound = false;
            }
        }
        if (line[11] < '1' || line[11] > '4') {
            check.unknown_card.Add(number, line);
            sound = false;
        }
        if (sound) ++check.sound;
    });
    return check;
}

}  // namespace haojian
