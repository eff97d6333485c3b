#include "core/run/number_list.h"

#include <filesystem>
#include <memory>
#include <system_error>

#include "core/base/error.h"
#include "core/files/file_system.h"

namespace haojian {
namespace {

std::string FullPath(const std::string& path) {
    std::error_code ignored;
    const std::filesystem::path full = std::filesystem::absolute(path, ignored);
    return full.empty() ? path : full.string();
}

}  // namespace

LineList ReadNumberList(FileSystem& fs, const std::string& path,
                        const std::function<void()>& opened) {
    try {
        const std::unique_ptr<InputFile> file = fs.OpenRead(path);
        if (opened) opened();
        std::string bytes;
        AppendWholeFile(*file, path, bytes);
        return LineList::FromBytes(std::move(bytes));
    } catch (const FileError& e) {
        throw FileError(e.op(), FullPath(path), e.code(), e.reason(), e.system_code());
    }
}

}  // namespace haojian
