#include "core/files/folder_access.h"

#include <unistd.h>

namespace haojian {

bool MayWriteFolder(const std::string& path) {
    return ::access(path.c_str(), W_OK) == 0;
}

}  // namespace haojian
