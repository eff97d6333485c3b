#include "cli/list_encoding.h"

#include "core/text/gbk.h"
#include "core/text/text_encoding.h"

namespace haojian::cli {

ListText ListFromBytes(std::string bytes) {
    const ByteOrderMark mark = FindByteOrderMark(bytes);
    switch (mark) {
        case ByteOrderMark::kNone:
            return {std::move(bytes), {}};
        case ByteOrderMark::kUtf8:
            bytes.erase(0, ByteOrderMarkSize(mark));
            return {std::move(bytes), "UTF-8 byte-order mark skipped"};
        case ByteOrderMark::kUtf16LittleEndian:
        case ByteOrderMark::kUtf16BigEndian: {
            const bool big_endian = mark == ByteOrderMark::kUtf16BigEndian;
            const std::u16string text =
                Utf16FromBytes(std::string_view(bytes).substr(ByteOrderMarkSize(mark)), big_endian);
            return {GbkFromUtf16(text), std::string("read as UTF-16") + (big_endian ? "BE" : "LE") +
                                            " and converted to GBK"};
        }
    }
    return {std::move(bytes), {}};
}

}  // namespace haojian::cli
