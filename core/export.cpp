#include "export.h"

#include <cerrno>

#include "buffered_writer.h"
#include "error.h"

namespace haojian {
namespace {

constexpr std::size_t kMaskedDigits = 9;

void AppendMaskedNumber(BufferedWriter& out, std::string_view number) {
    out.Append(number.substr(0, kMaskedDigits));
    out.Append(std::string_view("**", 2));
}

void AppendField(BufferedWriter& out, std::string_view field) {
    out.Append(' ');
    out.Append(field);
}

void WriteLine(BufferedWriter& out, ExportLayout layout, const ResultRowView& row) {
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
    out.Append(std::string_view("\r\n", 2));
}

bool FilterPasses(std::string_view filter, std::string_view wildcard, std::string_view field) {
    return filter == wildcard || filter == field;
}

}  // namespace

std::optional<ExportLayout> ExportLayoutFromText(std::string_view text) {
    if (text == text::kLayoutNumber) return ExportLayout::kNumber;
    if (text == text::kLayoutNumberProvince) return ExportLayout::kNumberProvince;
    if (text == text::kLayoutNumberCity) return ExportLayout::kNumberCity;
    if (text == text::kLayoutNumberCard) return ExportLayout::kNumberCard;
    if (text == text::kLayoutNumberProvinceCard) return ExportLayout::kNumberProvinceCard;
    if (text == text::kLayoutNumberCityCard) return ExportLayout::kNumberCityCard;
    return std::nullopt;
}

std::string MaskedNumber(std::string_view number) {
    std::string masked(number.substr(0, kMaskedDigits));
    masked += "**";
    return masked;
}

bool ExportFilter::Passes(const ResultRowView& row) const {
    return FilterPasses(province, text::kAnyProvince, row.province) &&
           FilterPasses(city, text::kAnyCity, row.city) &&
           FilterPasses(card_type, text::kAnyCard, row.card_type);
}

std::size_t ExportRows(const ResultTable& rows, const ExportFilter& filter,
                       std::string_view layout_text, const std::string& path, FileSystem& fs) {
    const std::optional<ExportLayout> layout = ExportLayoutFromText(layout_text);
    if (!layout) throw Error("Unknown export layout \"" + std::string(layout_text) + "\"");
    try {
        ReplacementFile file(fs, path);
        BufferedWriter out(file.file());
        std::size_t written = 0;
        const std::size_t count = rows.size();
        for (std::size_t i = 0; i < count; ++i) {
            const ResultRowView row = rows.Row(i);
            if (!filter.Passes(row)) continue;
            WriteLine(out, *layout, row);
            ++written;
        }
        out.Flush();
        file.Commit();
        return written;
    } catch (const FileError& e) {
        throw FileOperationError(FileErrorText(e.code()), path, e.code());
    }
}

std::string FileErrorText(int code) {
    switch (code) {
        // Making a file finds no file missing, only a folder on its path.
        case ENOENT:
        case ENOTDIR:
        case ENAMETOOLONG:
        case EINVAL:
            return "Invalid filename";
        case EMFILE:
        case ENFILE:
            return "Too many open files";
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
            return "File access denied";
        default:
            return "I/O error " + std::to_string(code);
    }
}

std::string ExportedStatusText(std::size_t line_count) {
    return std::string(text::kExportedPrefix) + std::to_string(line_count) +
           std::string(text::kExportedSuffix);
}

}  // namespace haojian
