#include "core/lookup/code_table.h"

#include "core/collation/collation.h"
#include "core/text/digits.h"

namespace haojian {
void CodeTable::Assign(std::span<const CodeRow> rows) {
    codes_.clear();
    names_.clear();
    for (const CodeRow& row : rows) {
        codes_.push_back(row.code);
        names_.push_back(row.name);
    }
    std::size_t size = 1;
    for (std::size_t length = 0; length <= kMaxIndexedDigits; ++length, size *= 10) {
        digit_rows_[length].assign(length == 0 ? 0 : size, -1);
    }
    for (std::size_t row = 0; row < codes_.size(); ++row) {
        const std::string_view code = codes_[row];
        if (code.empty() || code.size() > kMaxIndexedDigits || !IsAsciiDigits(code)) {
            continue;
        }
        std::int32_t& slot = digit_rows_[code.size()][DecimalValue(code)];
        if (slot < 0) slot = std::int32_t(row);
    }
}

std::optional<std::size_t> CodeTable::FindByComparison(std::string_view code,
                                                       const LocaleCollation& collation) const {
    if (code.empty() || codes_.empty()) return std::nullopt;
    if (IsAsciiDigits(code)) {
        if (code.size() <= kMaxIndexedDigits) {
            const std::int32_t row = digit_rows_[code.size()][DecimalValue(code)];
            if (row < 0) return std::nullopt;
            return std::size_t(row);
        }
        for (std::size_t row = 0; row < codes_.size(); ++row) {
            if (codes_[row] == code) return row;
        }
        return std::nullopt;
    }
    for (std::size_t row = 0; row < codes_.size(); ++row) {
        if (collation.Equal(codes_[row], code)) return row;
    }
    return std::nullopt;
}

void ReloadCodeTables(CodeTables& tables) {
    tables.provinces.Assign(kBuiltInProvinceRows);
    tables.cities.Assign(kBuiltInCityRows);
}

}  // namespace haojian
