#include "cli/input_reading.h"

#include <algorithm>

#include "cli/cli_support.h"
#include "cli/messages.h"
#include "core/text/nul_byte.h"
#include "core/text/text_encoding.h"

namespace haojian::cli {
namespace {

constexpr std::size_t kHeadBytes = 64;
constexpr std::size_t kReadBytes = std::size_t(1) << 20;

Failure TooLarge(const std::string& path, const InputLimit& limit) {
    return Failure(QuotedPath(path) + ": larger than " + std::to_string(limit.bytes >> 20) +
                   " MiB, which no " + std::string(limit.what) + " is; it was not read further");
}

}  // namespace

std::unique_ptr<InputFile> OpenInput(std::string_view command, const std::string& path) {
    return RealFileSystem().OpenReadTellingWait(path, [&] {
        PrintMessage(command,
                     "waiting for " + QuotedPath(path) + " (a named pipe) to be written to");
    });
}

InputText ReadInputText(InputFile& file, const std::string& path, const InputLimit& limit) {
    const std::uint64_t size = file.Size();
    if (size > limit.bytes) throw TooLarge(path, limit);
    InputText text;
    std::string& bytes = text.bytes;
    bytes.reserve(std::size_t(size));
    bool ended = false;
    bool utf16 = false;
    std::size_t skip = 0;      // the mark, when it makes NUL characters two bytes wide
    std::size_t searched = 0;  // bytes searched for a NUL character
    bool mark_known = false;   // once enough bytes tell the mark
    while (!ended) {
        const std::size_t from = bytes.size();
        const std::size_t want = size != 0 ? std::max<std::size_t>(size - from, 1) : kReadBytes;
        bytes.resize(from + std::min(want, kReadBytes));
        const std::size_t n = file.Read(bytes.data() + from, bytes.size() - from);
        bytes.resize(from + n);
        ended = n == 0;
        if (size != 0 && bytes.size() > size) {
            throw FileError(FileError::Op::Read, path, 0, std::string(kSizeChangedReason));
        }
        if (size != 0 && ended && bytes.size() != size) {
            throw FileError(FileError::Op::Read, path, 0, std::string(kSizeChangedReason));
        }
        if (bytes.size() > limit.bytes) throw TooLarge(path, limit);
        if (!mark_known && (bytes.size() >= 3 || ended)) {
            const ByteOrderMark mark = FindByteOrderMark(bytes);
            utf16 = limit.utf16_marks && (mark == ByteOrderMark::kUtf16LittleEndian ||
                                          mark == ByteOrderMark::kUtf16BigEndian);
            skip = utf16 ? 2 : 0;
            mark_known = true;
        }
        if (!mark_known) continue;
        // A UTF-16 unit may have been cut by the last read: search from its start.
        const std::size_t start = std::max(skip, searched - std::min(searched, std::size_t(1)));
        const std::size_t aligned = utf16 ? skip + ((start - skip) & ~std::size_t(1)) : start;
        searched = bytes.size();
        const std::size_t nul = FindNulCharacter(std::string_view(bytes).substr(aligned), utf16);
        if (nul == std::string_view::npos) continue;
        const std::size_t at = aligned + nul;
        const std::size_t width = utf16 ? 2 : 1;
        text.nul = at;
        if (size != 0) {
            text.after_nul = size - at - width;
        } else if (bytes.size() == at + width) {
            // Whether the stream goes on is told by one more read.
            char probe[1];
            if (file.Read(probe, 1) == 0) text.after_nul = 0;
        }
        text.head = std::string_view(bytes).substr(0, kHeadBytes);
        bytes.resize(at);
        return text;
    }
    text.head = std::string_view(bytes).substr(0, kHeadBytes);
    return text;
}

}  // namespace haojian::cli
