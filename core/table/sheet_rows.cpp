#include "core/table/sheet_rows.h"

#include <cstdlib>

#include "core/table/cell_text.h"
#include "core/table/column_choice.h"
#include "core/table/table_error.h"

namespace haojian {
namespace {

// Excel's sheets end here; a row past it is a damaged reference, which must not make the
// reader hand out billions of empty rows.
constexpr std::uint64_t kLastRow = 1048576;

// A number as strtoull reads it; plain digits, as workbooks write them, without a copy.
std::uint64_t UnsignedOf(std::string_view text) {
    std::uint64_t value = 0;
    if (!text.empty() && text.size() <= 19) {
        for (const char c : text) {
            if (c < '0' || c > '9') return std::strtoull(std::string(text).c_str(), nullptr, 10);
            value = value * 10 + std::uint64_t(c - '0');
        }
        return value;
    }
    return std::strtoull(std::string(text).c_str(), nullptr, 10);
}

// The 0-based column and 1-based row of a reference such as "AB12" (row 0 when it has none).
bool ParseReference(std::string_view reference, std::size_t& column, std::uint64_t& row) {
    std::size_t letters = 0;
    while (letters < reference.size() &&
           ((reference[letters] >= 'A' && reference[letters] <= 'Z') ||
            (reference[letters] >= 'a' && reference[letters] <= 'z'))) {
        ++letters;
    }
    const auto found = ColumnOfLetters(reference.substr(0, letters));
    if (!found) return false;
    column = *found;
    row = UnsignedOf(reference.substr(letters));
    return true;
}

}  // namespace

class SheetRows::Handler final : public XmlHandler {
public:
    Handler(const SharedStrings& strings, std::vector<bool> date_styles, bool date1904,
            std::deque<Row>& rows, std::string path)
        : strings_(strings),
          date_styles_(std::move(date_styles)),
          date1904_(date1904),
          rows_(rows),
          path_(std::move(path)) {}

    void Start(std::string_view name, const char** attributes) override {
        if (name == "row") {
            const std::string_view r = XmlAttribute(attributes, "r");
            number_ = r.empty() ? number_ + 1 : UnsignedOf(r);
            if (number_ == 0 || number_ > kLastRow) Damaged("a row number out of range");
            cells_.clear();
            column_ = 0;
        } else if (name == "c") {
            const std::string_view r = XmlAttribute(attributes, "r");
            std::uint64_t row = 0;
            if (!r.empty() && !ParseReference(r, column_, row)) Damaged("a broken cell reference");
            type_ = XmlAttribute(attributes, "t");
            const std::string_view style = XmlAttribute(attributes, "s");
            style_ = style.empty() ? 0 : std::size_t(UnsignedOf(style));
            value_.clear();
            inline_.clear();
        } else if (name == "v") {
            in_value_ = true;
        } else if (name == "is") {
            in_inline_ = true;
        } else if (name == "rPh") {
            ++phonetic_;
        } else if (name == "t" && in_inline_ && phonetic_ == 0) {
            in_text_ = true;
        }
    }

    void End(std::string_view name) override {
        if (name == "v") {
            in_value_ = false;
        } else if (name == "t") {
            in_text_ = false;
        } else if (name == "rPh") {
            --phonetic_;
        } else if (name == "is") {
            in_inline_ = false;
        } else if (name == "c") {
            if (cells_.size() <= column_) cells_.resize(column_ + 1);
            cells_[column_] = CellText();
            ++column_;
        } else if (name == "row") {
            // Cells after the last one with a value are trimmed as a spreadsheet's export does.
            while (!cells_.empty() && cells_.back().empty()) cells_.pop_back();
            const std::size_t width = cells_.size();
            rows_.push_back({number_, std::move(cells_)});
            // Rows are mostly as wide as the one before: one allocation instead of growing.
            cells_ = {};
            cells_.reserve(width);
        }
    }

    void Text(std::string_view text) override {
        if (in_value_) value_ += text;
        if (in_text_) inline_ += text;
    }

private:
    [[noreturn]] void Damaged(const std::string& what) const {
        throw TableError(TableError::Kind::kDamaged, path_, "damaged workbook: " + what);
    }

    std::string CellText() const {
        if (type_ == "s") {
            return std::string(strings_[std::strtoull(value_.c_str(), nullptr, 10)]);
        }
        if (type_ == "inlineStr") return CellTextFromUtf8(inline_);
        if (type_ == "b") return value_.empty() ? "" : value_ == "0" ? "FALSE" : "TRUE";
        if (type_ == "str" || type_ == "e" || type_ == "d") return CellTextFromUtf8(value_);
        if (value_.empty()) return {};
        if (style_ < date_styles_.size() && date_styles_[style_]) {
            char* end = nullptr;
            const double serial = std::strtod(value_.c_str(), &end);
            if (*end == '\0') return DateText(serial, date1904_);
        }
        return NumberText(value_);
    }

    const SharedStrings& strings_;
    const std::vector<bool> date_styles_;
    const bool date1904_;
    std::deque<Row>& rows_;
    std::string path_;

    std::uint64_t number_ = 0;
    std::vector<std::string> cells_;
    std::size_t column_ = 0;
    std::string type_;
    std::size_t style_ = 0;
    std::string value_;
    std::string inline_;
    bool in_value_ = false;
    bool in_inline_ = false;
    bool in_text_ = false;
    int phonetic_ = 0;
};

SheetRows::SheetRows(ZipParts& zip, const std::string& part, const SharedStrings& strings,
                     std::vector<bool> date_styles, bool date1904)
    : zip_(zip),
      handler_(
          std::make_unique<Handler>(strings, std::move(date_styles), date1904, rows_, zip.path())),
      xml_(std::make_unique<XmlStream>(*handler_, zip.path(), part)),
      buffer_(std::size_t(1) << 18, '\0') {
    zip_.Open(part);
}

SheetRows::~SheetRows() = default;

bool SheetRows::Next(std::vector<std::string>& cells, std::uint64_t& number) {
    while (rows_.empty() && !ended_) {
        const std::size_t n = zip_.Read(buffer_.data(), buffer_.size());
        ended_ = n == 0;
        xml_->Feed(std::string_view(buffer_.data(), n), ended_);
    }
    if (rows_.empty()) return false;
    Row& row = rows_.front();
    // A row the XML leaves out is an empty row in its place.
    if (row.number > last_ + 1) {
        cells.clear();
        number = ++last_;
        return true;
    }
    cells = std::move(row.cells);
    number = last_ = std::max(last_ + 1, row.number);
    rows_.pop_front();
    return true;
}

}  // namespace haojian
