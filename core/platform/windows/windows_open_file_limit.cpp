#include "core/files/open_file_limit.h"

#include <cstdio>

namespace haojian {

// Win32 handles have no such limit; the C runtime's streams, which the workbook writer's
// temporary files use, have one of 512 by default.
void RaiseOpenFileLimit() noexcept {
    _setmaxstdio(2048);
}

}  // namespace haojian
