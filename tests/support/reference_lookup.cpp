#include "tests/support/reference_lookup.h"

#include "core/collation/collation.h"
#include "core/lookup/code_table.h"
#include "core/text/gbk.h"

namespace haojian::testing {
namespace {

// The texts come from their Unicode form here, not from the core's generated constants.
struct Texts {
    std::string unknown = GbkFromUtf8("未知");
    std::string mobile = GbkFromUtf8("移动");
    std::string telecom = GbkFromUtf8("电信");
    std::string unicom = GbkFromUtf8("联通");
    std::string virtual_operator = GbkFromUtf8("虚拟");
};

const Texts& GetTexts() {
    static const Texts texts;
    return texts;
}

// Bytes [first, first + length) of a 1-based range that the text has.
std::string Cut(std::string_view text, std::size_t first, std::size_t length) {
    std::string out;
    for (std::size_t pos = first; pos < first + length; ++pos) {
        if (pos <= text.size()) out.push_back(text[pos - 1]);
    }
    return out;
}

std::string NameFor(const CodeTable& table, const std::string& code,
                    const LocaleCollation& collation) {
    const long row = ReferenceFindCode(table, code, collation);
    if (row < 0 || std::size_t(row) >= table.NameCount()) return GetTexts().unknown;
    return std::string(table.Name(std::size_t(row)));
}

}  // namespace

std::vector<std::string> ReferenceLines(std::string_view text) {
    std::vector<std::string> lines;
    std::string current;
    bool pending = false;  // current holds a line begun but not yet ended
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\0') break;
        if (c == '\r' || c == '\n') {
            lines.push_back(current);
            current.clear();
            pending = false;
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            current.push_back(c);
            pending = true;
        }
    }
    if (pending) lines.push_back(current);
    return lines;
}

std::span<const CodeRow> LetterCodeRows() {
    static const CodeRow rows[] = {{"ab", "p1"},       {"0501", "p2"}, {"AB01", "p3"},
                                   {"aB", "p4"},       {"X", "p5"},    {"05", "p6"},
                                   {"\xB1\xB1", "p7"}, {"ab01", "p8"}, {"", "p9"}};
    return rows;
}

long ReferenceFindCode(const CodeTable& table, std::string_view code,
                       const LocaleCollation& collation) {
    if (code.empty()) return -1;
    for (std::size_t row = 0; row < table.size(); ++row) {
        if (collation.Compare(table.Code(row), code) == 0) return long(row);
    }
    return -1;
}

ReferenceResult ReferenceResolve(std::string_view number, std::span<const std::string> lines,
                                 const CodeTables& tables, const LocaleCollation& collation) {
    const Texts& texts = GetTexts();
    const std::string prefix(number.substr(0, 7));
    ReferenceResult result{std::string(number), texts.unknown, texts.unknown, texts.unknown};
    for (const std::string& line : lines) {
        if (prefix.empty() || line.size() < prefix.size()) continue;
        if (line.compare(0, prefix.size(), prefix) != 0) continue;
        result.province = NameFor(tables.provinces, Cut(line, 8, 2), collation);
        result.city = NameFor(tables.cities, Cut(line, 8, 4), collation);
        const std::string digit = Cut(line, 12, 1);
        if (digit == "1") {
            result.card_type = texts.mobile;
        } else if (digit == "2") {
            result.card_type = texts.telecom;
        } else if (digit == "3") {
            result.card_type = texts.unicom;
        } else if (digit == "4") {
            result.card_type = texts.virtual_operator;
        } else {
            result.card_type = digit;
        }
        return result;
    }
    const std::string leading = prefix.substr(0, 3);
    if (leading.empty()) return result;
    const std::pair<std::string_view, const std::string*> lists[] = {
        {"134|135|136|137|138|139|147|150|151|152|157|158|159|172|178|182|183|184|187|188|198|",
         &texts.mobile},
        {"133|149|153|173|177|180|181|189|199|", &texts.telecom},
        {"130|131|132|145|155|156|166|175|176|185|186|166|", &texts.unicom},
        {"170|171", &texts.virtual_operator},
    };
    for (const auto& [entries, card_type] : lists) {
        if (entries.find(leading) != std::string_view::npos) result.card_type = *card_type;
    }
    return result;
}

}  // namespace haojian::testing
