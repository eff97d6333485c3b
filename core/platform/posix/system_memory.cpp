// Free memory on Linux, as the kernel estimates it for new work; glibc's freed memory back to it.
#include <malloc.h>

#include <cstdio>
#include <cstring>

#include "core/base/system_memory.h"

namespace haojian {

std::uint64_t AvailableMemory() noexcept {
    std::FILE* const info = std::fopen("/proc/meminfo", "re");
    if (info == nullptr) return 0;
    char line[256];
    std::uint64_t kib = 0;
    while (std::fgets(line, sizeof line, info) != nullptr) {
        unsigned long long value = 0;
        if (std::sscanf(line, "MemAvailable: %llu kB", &value) == 1) {
            kib = value;
            break;
        }
    }
    std::fclose(info);
    return kib * 1024;
}

// glibc keeps freed blocks of every thread's arena, and once a large block has been freed it
// serves blocks up to that size from them: without this, each run of a merge would add to the
// memory the process holds.
void ReturnFreeMemory() noexcept {
    ::malloc_trim(0);
}

}  // namespace haojian
