#include "core/files/file_system.h"

#include <algorithm>

#include "core/files/temporary_file.h"

namespace haojian {

std::uint64_t FileSystem::SizeHint(const std::string&) noexcept {
    return 0;
}

std::unique_ptr<TemporaryFile> FileSystem::CreateTemporary(const std::string& folder) {
    return CreateTemporaryFile(folder);
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
