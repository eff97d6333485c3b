#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace haojian {

class CodeTable;
struct CodeRow;
struct CodeTables;
class LocaleCollation;

namespace testing {

// Plain, slow restatements of the line rule and of the look-up, written without the index and
// the fast paths of the core, so that tests and fuzz targets can compare the two.

// The lines of text: cut at the first NUL; CR, LF and CR LF end a line, LF CR is two ends;
// the rest after the last end is a last line.
std::vector<std::string> ReferenceLines(std::string_view text);

struct ReferenceResult {
    std::string number;
    std::string province;
    std::string city;
    std::string card_type;
    bool operator==(const ReferenceResult&) const = default;
};

// Rows whose codes have letters of both cases, GBK bytes, a repeat under case and an empty
// code: a table of them makes the look-up compare codes by the collation.
std::span<const CodeRow> LetterCodeRows();

// The first row of table whose code equals code under collation, by a scan of every row;
// -1 for none.
long ReferenceFindCode(const CodeTable& table, std::string_view code,
                       const LocaleCollation& collation);

// Scans lines from the first for one that begins with the number's first seven bytes, and
// resolves the number as the look-up is defined, fallback lists included.
ReferenceResult ReferenceResolve(std::string_view number, std::span<const std::string> lines,
                                 const CodeTables& tables, const LocaleCollation& collation);

}  // namespace testing
}  // namespace haojian
