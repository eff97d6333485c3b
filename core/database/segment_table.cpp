#include "core/database/segment_table.h"

#include <algorithm>
#include <array>
#include <optional>

#include "core/base/error.h"
#include "core/text/digits.h"
#include "core/text/gbk.h"
#include "core/text/nul_byte.h"
#include "core/text/text_encoding.h"

namespace haojian {
namespace {

using Names = std::array<std::string_view, 6>;
// Where several columns are named as the segment prefix, these many rows decide among them.
constexpr std::size_t kRowsToDecideTheColumn = 1000;
constexpr Names kPrefixNames = {"phone", "prefix", "segment", "号段", "号码段", "手机号段"};
constexpr Names kProvinceNames = {"province", "省份", "省"};
constexpr Names kCityNames = {"city", "城市", "市", "地市"};
constexpr Names kCarrierNames = {"isp", "carrier", "operator", "运营商", "卡类", "卡类型"};

std::string_view Trimmed(std::string_view text) {
    const auto space = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && space(text.front())) text.remove_prefix(1);
    while (!text.empty() && space(text.back())) text.remove_suffix(1);
    return text;
}

bool IsLineEnd(char c) {
    return c == '\r' || c == '\n';
}

// The records of a table's text: fields split at separator outside quotes, trimmed, their
// quotes removed ("a,b" with "" for a quote). Line ends end a record outside quotes (CR, LF or
// CR LF, as the line rule has them) and are kept as they stand inside them. Lines of spaces
// and tabs alone are no records.
class RecordReader {
public:
    RecordReader(std::string_view text, char separator) : text_(text), separator_(separator) {}

    // The next record into fields (reusing their storage), and the 1-based line it begins on;
    // false at the end of the text.
    bool Next(std::vector<std::string>& fields, std::size_t& line) {
        SkipBlankLines();
        if (at_ >= text_.size()) return false;
        line = lines_ + 1;
        std::size_t count = 0;
        for (;;) {
            if (fields.size() == count) fields.emplace_back();
            ReadField(fields[count++]);
            if (at_ < text_.size() && text_[at_] == separator_) {
                ++at_;
                continue;
            }
            SkipLineEnd();
            fields.resize(count);
            return true;
        }
    }

private:
    std::size_t LineEndFrom(std::size_t from) const {
        std::size_t end = from;
        while (end < text_.size() && !IsLineEnd(text_[end])) ++end;
        return end;
    }

    void SkipBlankLines() {
        while (at_ < text_.size()) {
            const std::size_t end = LineEndFrom(at_);
            if (!Trimmed(text_.substr(at_, end - at_)).empty()) return;
            at_ = end;
            SkipLineEnd();
        }
    }

    void SkipLineEnd() {
        if (at_ >= text_.size()) return;
        if (text_[at_] == '\r' && at_ + 1 < text_.size() && text_[at_ + 1] == '\n') ++at_;
        ++at_;
        ++lines_;
    }

    // Up to the next separator or line end; at_ stops there.
    std::string_view Unquoted() {
        const std::size_t start = at_;
        while (at_ < text_.size() && text_[at_] != separator_ && !IsLineEnd(text_[at_])) ++at_;
        return text_.substr(start, at_ - start);
    }

    void ReadField(std::string& field) {
        field.clear();
        while (at_ < text_.size() && text_[at_] == ' ') ++at_;
        if (at_ >= text_.size() || text_[at_] != '"') {
            field = Trimmed(Unquoted());
            return;
        }
        ++at_;
        while (at_ < text_.size()) {
            const char c = text_[at_];
            if (c == '"') {
                if (at_ + 1 < text_.size() && text_[at_ + 1] == '"') {
                    field.push_back('"');
                    at_ += 2;
                    continue;
                }
                ++at_;
                break;
            }
            // A line end inside quotes belongs to the field; it still counts as a line.
            if (c == '\n' || (c == '\r' && (at_ + 1 == text_.size() || text_[at_ + 1] != '\n'))) {
                ++lines_;
            }
            field.push_back(c);
            ++at_;
        }
        field += Trimmed(Unquoted());
    }

    std::string_view text_;
    char separator_;
    std::size_t at_ = 0;
    std::size_t lines_ = 0;  // line ends passed
};

std::string Lowered(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    }
    return lower;
}

// The columns of header whose name is one of names, in header order.
std::vector<std::size_t> ColumnsNamed(const std::vector<std::string>& header, const Names& names) {
    std::vector<std::size_t> columns;
    for (std::size_t i = 0; i < header.size(); ++i) {
        const std::string name = Lowered(header[i]);
        if (std::find(names.begin(), names.end(), name) != names.end()) columns.push_back(i);
    }
    return columns;
}

std::string NamesList(const Names& names) {
    std::string list;
    for (const std::string_view name : names) {
        if (name.empty()) continue;
        if (!list.empty()) list += ", ";
        list += name;
    }
    return list;
}

// The text as UTF-8, and its encoding.
std::string Decoded(std::string_view bytes, SegmentTable::Encoding& encoding) {
    const ByteOrderMark mark = FindByteOrderMark(bytes);
    const std::string_view body = bytes.substr(ByteOrderMarkSize(mark));
    switch (mark) {
        case ByteOrderMark::kUtf8:
            encoding = SegmentTable::Encoding::kUtf8WithMark;
            return std::string(body);
        case ByteOrderMark::kUtf16LittleEndian:
        case ByteOrderMark::kUtf16BigEndian:
            encoding = SegmentTable::Encoding::kUtf16;
            return Utf8FromUtf16(Utf16FromBytes(body, mark == ByteOrderMark::kUtf16BigEndian));
        case ByteOrderMark::kNone:
            break;
    }
    if (IsValidUtf8(body)) {
        encoding = SegmentTable::Encoding::kUtf8;
        return std::string(body);
    }
    encoding = SegmentTable::Encoding::kGbk;
    return Utf8FromGbk(body);
}

}  // namespace

SegmentTable ReadSegmentTable(std::string_view bytes,
                              const std::function<void(const SegmentTable::Row&)>& sink) {
    SegmentTable table;
    // Found in the bytes, so that its offset counts bytes of the file.
    const ByteOrderMark mark = FindByteOrderMark(bytes);
    const std::size_t skip = ByteOrderMarkSize(mark);
    const bool utf16 =
        mark == ByteOrderMark::kUtf16LittleEndian || mark == ByteOrderMark::kUtf16BigEndian;
    if (const std::size_t nul = FindNulCharacter(bytes.substr(skip), utf16);
        nul != std::string_view::npos) {
        throw Error("The table holds a NUL byte at byte offset " + std::to_string(skip + nul));
    }
    const std::string text = Decoded(bytes, table.encoding);
    // The separator is the one the header's line holds.
    std::string_view header_line;
    for (std::size_t at = 0; at < text.size() && Trimmed(header_line).empty();) {
        const std::size_t end = std::min(text.find_first_of("\r\n", at), text.size());
        header_line = std::string_view(text).substr(at, end - at);
        at = end + 1;
    }
    if (Trimmed(header_line).empty()) throw Error("The table is empty: no header row");
    table.separator = header_line.find('\t') != std::string_view::npos ? '\t' : ',';

    RecordReader records(text, table.separator);
    std::vector<std::string> header;
    std::size_t line = 0;
    records.Next(header, line);
    const std::vector<std::size_t> prefix_columns = ColumnsNamed(header, kPrefixNames);
    const auto first = [&](const Names& names) -> std::optional<std::size_t> {
        const std::vector<std::size_t> columns = ColumnsNamed(header, names);
        if (columns.empty()) return std::nullopt;
        return columns.front();
    };
    const std::optional<std::size_t> province = first(kProvinceNames);
    const std::optional<std::size_t> city = first(kCityNames);
    const std::optional<std::size_t> carrier = first(kCarrierNames);
    // A table of other separators (semicolons, as some spreadsheets write) fails here: say
    // which were tried.
    const auto require = [&](bool found, std::string_view what, const Names& names) {
        if (found) return;
        std::string message = "The header row names no column of the " + std::string(what) +
                              " (one of " + NamesList(names) +
                              "); the separators tried are a tab, then a comma";
        if (table.separator == ',' && header_line.find(',') == std::string_view::npos &&
            header_line.find(';') != std::string_view::npos) {
            message += " (this row holds semicolons: save the table comma- or tab-separated)";
        }
        throw Error(GbkFromUtf8(message));
    };
    require(!prefix_columns.empty(), "segment prefix", kPrefixNames);
    require(province.has_value(), "province", kProvinceNames);
    require(carrier.has_value(), "carrier", kCarrierNames);

    // Rows held back until the prefix column is decided.
    struct Held {
        std::size_t line;
        std::vector<std::string> fields;
    };
    std::vector<Held> held;
    std::optional<std::size_t> prefix;
    if (prefix_columns.size() == 1) prefix = prefix_columns.front();
    SegmentTable::Row row;
    const auto hand_on = [&](std::size_t at, std::vector<std::string>& fields) {
        row.line = at;
        row.complete = true;
        const auto take = [&](std::size_t column, std::string& field) {
            if (column < fields.size()) {
                field.swap(fields[column]);
            } else {
                field.clear();
                row.complete = false;
            }
        };
        take(*prefix, row.prefix);
        take(*province, row.province);
        if (city) {
            take(*city, row.city);
        } else {
            row.city.clear();
        }
        take(*carrier, row.carrier);
        ++table.rows;
        sink(row);
    };
    // The column of the most seven-digit values among the rows held, the first named of equals.
    const auto decide = [&] {
        std::size_t best = 0;
        prefix = prefix_columns.front();
        for (const std::size_t column : prefix_columns) {
            std::size_t seven = 0;
            for (const Held& h : held) {
                if (column < h.fields.size() && IsDigits(h.fields[column], 7)) ++seven;
            }
            if (seven > best) {
                best = seven;
                prefix = column;
            }
        }
        for (Held& h : held) hand_on(h.line, h.fields);
        held.clear();
    };
    std::vector<std::string> fields;
    while (records.Next(fields, line)) {
        if (prefix) {
            hand_on(line, fields);
            continue;
        }
        held.push_back({line, fields});
        if (held.size() == kRowsToDecideTheColumn) decide();
    }
    if (!prefix) decide();
    return table;
}

std::string_view EncodingName(SegmentTable::Encoding encoding) {
    switch (encoding) {
        case SegmentTable::Encoding::kUtf8:
            return "UTF-8";
        case SegmentTable::Encoding::kUtf8WithMark:
            return "UTF-8 with byte-order mark";
        case SegmentTable::Encoding::kUtf16:
            return "UTF-16";
        case SegmentTable::Encoding::kGbk:
            return "GBK";
    }
    return "";
}

}  // namespace haojian
