#include "core/files/file_system.h"

#include <algorithm>

#include "core/text/gbk.h"

namespace haojian {
namespace {

const char* OpName(FileError::Op op) {
    switch (op) {
        case FileError::Op::Open:
            return "open";
        case FileError::Op::Create:
            return "create";
        case FileError::Op::Read:
            return "read";
        case FileError::Op::Write:
            return "write";
        case FileError::Op::Close:
            return "close";
        case FileError::Op::Rename:
            return "rename";
    }
    return "use";
}

}  // namespace

FileError::FileError(Op op, std::string path, int code)
    : FileError(op, std::move(path), code, SystemReason(code)) {}

FileError::FileError(Op op, std::string path, int code, std::string reason)
    : std::runtime_error(std::string("cannot ") + OpName(op) + " " + path + ": " + reason),
      op_(op),
      path_(std::move(path)),
      code_(code),
      reason_(std::move(reason)) {}

std::string PathForMessage(std::string_view path) {
    return GbkFromUtf8(path);
}

std::string ReasonForMessage(int code) {
    return ReasonForMessage(FileError(FileError::Op::Open, {}, code));
}

std::string ReasonForMessage(const FileError& error) {
    return SystemTextForMessage(error.reason());
}

FileOperationError ReadFailure(const FileError& error, const std::string& shown_path) {
    const std::string reason = ReasonForMessage(error);
    const std::string what =
        error.op() == FileError::Op::Read ? "Stream read error on file \"" : "Cannot open file \"";
    return {what + PathForMessage(shown_path) + "\". " + reason, shown_path, error.code(), reason};
}

std::uint64_t FileSystem::SizeHint(const std::string&) noexcept {
    return 0;
}

std::string ReadWholeFile(FileSystem& fs, const std::string& path) {
    const std::unique_ptr<InputFile> file = fs.OpenRead(path);
    std::string bytes;
    AppendWholeFile(*file, path, bytes);
    return bytes;
}

void AppendWholeFile(InputFile& file, const std::string& path, std::string& bytes) {
    const std::uint64_t size = file.Size();
    const auto changed = [&] {
        return FileError(FileError::Op::Read, path, 0, std::string(kSizeChangedReason));
    };
    const std::size_t start = bytes.size();
    const std::size_t wanted = start + std::size_t(size);
    if (bytes.capacity() < wanted) {
        // Room for this file at once; when bytes holds earlier files, at least twice what it
        // had, so that files of sizes not known beforehand are not copied again and again.
        // (reserve() on a grown string may double its capacity; a fresh one takes just this.)
        std::string grown;
        grown.reserve(start == 0 ? wanted : std::max(wanted, 2 * bytes.capacity()));
        grown.append(bytes);
        bytes.swap(grown);
    }
    std::size_t filled = start;
    bytes.resize(wanted);
    while (filled < wanted) {
        const std::size_t n = file.Read(bytes.data() + filled, wanted - filled);
        if (n == 0) throw changed();  // shrank
        filled += n;
    }
    // The expected end: make sure of it. A file of known size must give nothing more; one of
    // unknown size is read on, bytes growing as it comes.
    for (;;) {
        char probe[16384];
        const std::size_t n = file.Read(probe, sizeof probe);
        if (n == 0) break;
        if (size != 0) throw changed();  // grew
        bytes.append(probe, n);
    }
}

std::string DirectoryOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return "./";
    return path.substr(0, slash + 1);
}

}  // namespace haojian
