#include "number_list.h"

#include <filesystem>
#include <system_error>

#include "error.h"
#include "file_system.h"

namespace haojian {
namespace {

std::string FullPath(const std::string& path) {
    std::error_code ignored;
    const std::filesystem::path full = std::filesystem::absolute(path, ignored);
    return full.empty() ? path : full.string();
}

}  // namespace

LineList ReadNumberList(FileSystem& fs, const std::string& path) {
    try {
        return LineList::FromBytes(ReadWholeFile(fs, path));
    } catch (const FileError& e) {
        throw ReadFailure(e, FullPath(path));
    }
}

}  // namespace haojian
