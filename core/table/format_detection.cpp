#include "core/table/format_detection.h"

#include "core/text/list_decoder.h"

namespace haojian {
namespace {

constexpr std::string_view kZipSignature = "PK\x03\x04";
constexpr std::string_view kEmptyZipSignature = "PK\x05\x06";
constexpr std::string_view kCompoundSignature = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
// The stream an encrypted workbook keeps its key data in, as a compound file names it (UTF-16).
constexpr std::string_view kEncryptionInfo =
    std::string_view("E\0n\0c\0r\0y\0p\0t\0i\0o\0n\0I\0n\0f\0o\0", 28);
constexpr std::size_t kRowsLooked = 20;

bool EndsWith(std::string_view name, std::string_view suffix) {
    if (name.size() < suffix.size()) return false;
    for (std::size_t i = 0; i < suffix.size(); ++i) {
        char c = name[name.size() - suffix.size() + i];
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
        if (c != suffix[i]) return false;
    }
    return true;
}

bool HasHighBytes(std::string_view text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) return true;
    }
    return false;
}

// head without a UTF-8 sequence cut off at its end.
std::string_view WholeUtf8(std::string_view head) {
    std::size_t end = head.size();
    for (std::size_t back = 0; back < 3 && end > 0; ++back) {
        const auto byte = static_cast<unsigned char>(head[end - 1]);
        if ((byte & 0xC0) == 0x80) {
            --end;
            continue;
        }
        if (byte >= 0xC0) --end;
        break;
    }
    return head.substr(0, end);
}

}  // namespace

std::size_t SameFieldCount(std::string_view text, char separator, bool whole) {
    std::size_t count = 0;
    std::size_t rows = 0;
    std::size_t fields = 1;
    bool quoted = false;
    bool field_start = true;
    bool empty_row = true;
    for (std::size_t i = 0; i < text.size() && rows < kRowsLooked; ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"') {
                if (i + 1 < text.size() && text[i + 1] == '"') {
                    ++i;
                } else {
                    quoted = false;
                }
            }
            continue;
        }
        if (c == '"' && field_start) {
            quoted = true;
            field_start = false;
            empty_row = false;
        } else if (c == separator) {
            ++fields;
            field_start = true;
            empty_row = false;
        } else if (c == '\n' || c == '\r') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            if (!empty_row) {
                if (count != 0 && count != fields) return 0;
                count = fields;
                ++rows;
            }
            fields = 1;
            field_start = true;
            empty_row = true;
        } else {
            field_start = false;
            empty_row = false;
        }
    }
    if (whole && !quoted && !empty_row && rows < kRowsLooked) {
        if (count != 0 && count != fields) return 0;
        count = fields;
    }
    return count;
}

DetectedFormat DetectFormat(std::string_view head, bool whole, std::string_view file_name) {
    DetectedFormat format;
    if (head.starts_with(kZipSignature) || head.starts_with(kEmptyZipSignature)) {
        format.kind = DetectedFormat::Kind::kZip;
        return format;
    }
    if (head.starts_with(kCompoundSignature)) {
        format.kind = DetectedFormat::Kind::kCompoundFile;
        format.encrypted = head.find(kEncryptionInfo) != std::string_view::npos;
        return format;
    }
    // The separators are looked for in the GBK text, as the rows will be read.
    format.mark = FindByteOrderMark(head);
    std::string text;
    ListDecoder decoder;
    std::string_view bytes = head.substr(decoder.Begin(head.substr(0, ListDecoder::kMarkBytes)));
    if (format.mark == ByteOrderMark::kNone && HasHighBytes(head) &&
        IsValidUtf8(whole ? head : WholeUtf8(head))) {
        format.unmarked_utf8 = true;
        decoder.BeginUnmarkedUtf8();
    }
    decoder.Decode(bytes, text);
    if (whole) decoder.Finish(text);

    const bool tsv_name = EndsWith(file_name, ".tsv") || EndsWith(file_name, ".tab");
    const bool csv_name = EndsWith(file_name, ".csv");
    // A name that says TAB is asked first; CSV's own separators next.
    const char order[2][3] = {{',', '\t', ';'}, {'\t', ',', ';'}};
    for (const char separator : order[tsv_name ? 1 : 0]) {
        if (SameFieldCount(text, separator, whole) > 1) {
            format.kind = DetectedFormat::Kind::kDelimited;
            format.separator = separator;
            return format;
        }
    }
    if (csv_name || tsv_name) {
        format.kind = DetectedFormat::Kind::kDelimited;
        format.separator = tsv_name ? '\t' : ',';
    }
    return format;
}

}  // namespace haojian
