#include "core/text/list_decoder.h"

#include "core/text/gbk.h"

namespace haojian {
namespace {

// The length of the UTF-8 sequence that lead begins (1 for a byte that begins none).
std::size_t Utf8Length(unsigned char lead) {
    return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
}

}  // namespace

bool ListDecoder::MayBeginMark(std::string_view first_bytes) {
    for (const std::string_view mark : {"\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"}) {
        if (mark.starts_with(first_bytes)) return true;
    }
    return false;
}

std::size_t ListDecoder::Begin(std::string_view first_bytes) {
    mark_ = FindByteOrderMark(first_bytes);
    return ByteOrderMarkSize(mark_);
}

void ListDecoder::Decode(std::string_view bytes, std::string& out) {
    switch (mark_) {
        case ByteOrderMark::kNone:
            out += bytes;
            return;
        case ByteOrderMark::kUtf8:
            DecodeUtf8(bytes, out);
            return;
        case ByteOrderMark::kUtf16LittleEndian:
        case ByteOrderMark::kUtf16BigEndian:
            DecodeUtf16(bytes, out);
            return;
    }
}

std::string_view ListDecoder::AfterHeld(std::string_view bytes, std::string& joined) {
    if (held_.empty()) return bytes;
    joined = held_ + std::string(bytes);
    held_.clear();
    return joined;
}

void ListDecoder::DecodeUtf8(std::string_view bytes, std::string& out) {
    std::string joined;
    bytes = AfterHeld(bytes, joined);
    // A sequence cut off at the end waits for its rest.
    std::size_t start = bytes.size();
    for (std::size_t back = 0; back < 4 && start > 0; ++back) {
        const auto byte = static_cast<unsigned char>(bytes[--start]);
        if ((byte & 0xC0) != 0x80) {
            if (start + Utf8Length(byte) <= bytes.size()) start = bytes.size();
            break;
        }
        if (back == 3) start = bytes.size();  // no lead byte: ill-formed, taken as it is
    }
    held_ = bytes.substr(start);
    out += GbkFromUtf16(Utf16FromUtf8(bytes.substr(0, start)), unmapped_);
}

void ListDecoder::DecodeUtf16(std::string_view bytes, std::string& out) {
    std::string joined;
    bytes = AfterHeld(bytes, joined);
    const bool big_endian = mark_ == ByteOrderMark::kUtf16BigEndian;
    std::size_t whole = bytes.size() - bytes.size() % 2;
    // A pair's high half waits for its low half.
    if (whole >= 2) {
        const auto high = static_cast<unsigned char>(bytes[whole - (big_endian ? 2 : 1)]);
        if ((high & 0xFC) == 0xD8) whole -= 2;
    }
    held_ = bytes.substr(whole);
    out += GbkFromUtf16(Utf16FromBytes(bytes.substr(0, whole), big_endian), unmapped_);
}

void ListDecoder::Finish(std::string& out) {
    if (held_.empty()) return;
    const std::string rest = std::move(held_);
    held_.clear();
    if (mark_ == ByteOrderMark::kUtf8) {
        out += GbkFromUtf16(Utf16FromUtf8(rest), unmapped_);
    } else {
        out +=
            GbkFromUtf16(Utf16FromBytes(rest, mark_ == ByteOrderMark::kUtf16BigEndian), unmapped_);
    }
}

std::string ListDecoder::Note() const {
    switch (mark_) {
        case ByteOrderMark::kNone:
            return {};
        case ByteOrderMark::kUtf8:
            return "read as UTF-8 and converted to GBK";
        case ByteOrderMark::kUtf16LittleEndian:
            return "read as UTF-16LE and converted to GBK";
        case ByteOrderMark::kUtf16BigEndian:
            return "read as UTF-16BE and converted to GBK";
    }
    return {};
}

std::string ListDecoder::UnmappedNote() const {
    if (unmapped_ == 0) return {};
    return std::to_string(unmapped_) + (unmapped_ == 1
                                            ? " character that GBK cannot hold became \"?\""
                                            : " characters that GBK cannot hold became \"?\"");
}

}  // namespace haojian
