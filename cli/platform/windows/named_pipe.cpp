// Windows has no named pipes in its file system's folders (KindOfPath never reports one);
// a pipe named as \\.\pipe\NAME is read as any file.
#include "cli/named_pipe.h"

#include "core/files/file_system.h"

namespace haojian::cli {

std::string ReadNamedPipe(const std::string& path, const std::function<void()>&) {
    return ReadWholeFile(RealFileSystem(), path);
}

}  // namespace haojian::cli
