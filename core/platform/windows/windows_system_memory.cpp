// Free memory on Windows: the physical memory available now.
#include <windows.h>

#include "core/base/system_memory.h"

namespace haojian {

std::uint64_t AvailableMemory() noexcept {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (!::GlobalMemoryStatusEx(&status)) return 0;
    return status.ullAvailPhys;
}

// The process heap gives large blocks back to the system as they are freed.
void ReturnFreeMemory() noexcept {}

}  // namespace haojian
