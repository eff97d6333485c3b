// Free memory on Linux, as the kernel estimates it for new work.
#include <cstdio>
#include <cstring>

#include "core/base/available_memory.h"

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

}  // namespace haojian
