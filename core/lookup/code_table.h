#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "core/lookup/built_in_code_rows.h"

namespace haojian {

class LocaleCollation;

// Two parallel lists, codes and names (GBK bytes); row i pairs the i-th code with the i-th name.
// The lists refer to the texts of the rows they were given, which must outlive the table. The
// built-in rows are static, so a name handed out stays valid after the table is refilled or
// gone: result rows may keep it.
class CodeTable {
public:
    CodeTable() = default;

    std::size_t size() const { return codes_.size(); }
    std::size_t NameCount() const { return names_.size(); }
    std::string_view Code(std::size_t row) const { return codes_[row]; }
    std::string_view Name(std::size_t row) const { return names_[row]; }

    // Empties both lists and fills them with rows, in order. Keeps views of the rows' texts.
    void Assign(std::span<const CodeRow> rows);
    void Clear() { Assign({}); }

    // The first row whose code equals code under the comparison; none for a code in no row,
    // the empty code included.
    std::optional<std::size_t> Find(std::string_view code, const LocaleCollation& collation) const {
        // Codes of one to four ASCII digits, those of every look-up, straight from the index.
        if (code.size() - 1 < kMaxIndexedDigits && !digit_rows_[code.size()].empty()) {
            std::size_t value = 0;
            for (const char c : code) {
                const unsigned digit = unsigned(static_cast<unsigned char>(c)) - unsigned('0');
                if (digit > 9) return FindByComparison(code, collation);
                value = value * 10 + digit;
            }
            const std::int32_t row = digit_rows_[code.size()][value];
            if (row < 0) return std::nullopt;
            return std::size_t(row);
        }
        return FindByComparison(code, collation);
    }

private:
    static constexpr std::size_t kMaxIndexedDigits = 4;

    std::optional<std::size_t> FindByComparison(std::string_view code,
                                                const LocaleCollation& collation) const;

    std::vector<std::string_view> codes_;
    std::vector<std::string_view> names_;
    // For codes of 1 to 4 ASCII digits: the first row of each value, -1 for none, indexed by
    // length. A text of ASCII digits equals a code exactly when their bytes are equal (case
    // folding touches no digit), so such texts need no collation.
    std::vector<std::int32_t> digit_rows_[5];
};

// The working code lists of the look-up, refilled from the built-in rows at every run start.
struct CodeTables {
    CodeTable provinces;
    CodeTable cities;
};

// Empties both tables and fills them with the built-in rows: 32 provinces, 385 cities.
void ReloadCodeTables(CodeTables& tables);

}  // namespace haojian
