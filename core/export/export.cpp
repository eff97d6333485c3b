#include "core/export/export.h"

#include "core/base/error.h"

namespace haojian {
namespace {

void AppendField(std::string& out, std::string_view field) {
    out.push_back(' ');
    out.append(field);
}

void WriteLine(std::string& out, ExportLayout layout, const ResultRowView& row) {
    AppendMaskedNumber(out, row.number);
    switch (layout) {
        case ExportLayout::kNumber:
            break;
        case ExportLayout::kNumberProvince:
            AppendField(out, row.province);
            break;
        case ExportLayout::kNumberCity:
            AppendField(out, row.city);
            break;
        case ExportLayout::kNumberCard:
            AppendField(out, row.card_type);
            break;
        case ExportLayout::kNumberProvinceCard:
            AppendField(out, row.province);
            AppendField(out, row.card_type);
            break;
        case ExportLayout::kNumberCityCard:
            AppendField(out, row.city);
            AppendField(out, row.card_type);
            break;
    }
    out.append("\r\n", 2);
}

bool FilterPasses(std::string_view filter, std::string_view wildcard, std::string_view field) {
    return filter == wildcard || filter == field;
}

}  // namespace

std::optional<ExportLayout> ExportLayoutFromText(std::string_view text) {
    for (std::size_t i = 0; i < kLayoutTexts.size(); ++i) {
        if (text == kLayoutTexts[i]) return ExportLayout(i);
    }
    return std::nullopt;
}

void AppendMaskedNumber(std::string& out, std::string_view number) {
    constexpr std::size_t kShownBytes = 9;
    out.append(number.substr(0, kShownBytes));
    out.append("**", 2);
}

bool ExportFilter::Passes(const ResultRowView& row) const {
    return FilterPasses(province, text::kAnyProvince, row.province) &&
           FilterPasses(city, text::kAnyCity, row.city) &&
           FilterPasses(card_type, text::kAnyCard, row.card_type);
}

ExportLines::ExportLines(const ExportFilter& filter, std::string_view layout_text)
    : filter_(filter) {
    const std::optional<ExportLayout> layout = ExportLayoutFromText(layout_text);
    if (!layout) throw Error("Unknown export layout \"" + std::string(layout_text) + "\"");
    layout_ = *layout;
}

bool ExportLines::Append(const ResultRowView& row, std::string& out) const {
    if (!filter_.Passes(row)) return false;
    WriteLine(out, layout_, row);
    return true;
}

ExportFile::ExportFile(const std::string& path, FileSystem& fs) : file_(fs, path) {}

void ExportFile::Write(std::string_view lines, std::size_t count) {
    file_.file().Write(lines);
    lines_ += count;
}

std::size_t ExportFile::Commit() {
    file_.Commit();
    return lines_;
}

std::size_t ExportRows(const ResultTable& rows, const ExportFilter& filter,
                       std::string_view layout_text, const std::string& path, FileSystem& fs) {
    const ExportLines lines(filter, layout_text);
    ExportFile file(path, fs);
    constexpr std::size_t kBlock = std::size_t(4) << 20;
    std::string block;
    block.reserve(kBlock + 4096);
    std::size_t in_block = 0;
    const std::size_t count = rows.size();
    for (std::size_t i = 0; i < count; ++i) {
        in_block += lines.Append(rows.Row(i), block) ? 1 : 0;
        if (block.size() >= kBlock) {
            file.Write(block, in_block);
            block.clear();
            in_block = 0;
        }
    }
    if (!block.empty()) file.Write(block, in_block);
    return file.Commit();
}

std::string ExportedStatusText(std::size_t line_count) {
    return std::string(text::kExportedPrefix) + std::to_string(line_count) +
           std::string(text::kExportedSuffix);
}

}  // namespace haojian
