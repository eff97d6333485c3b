#include "core/base/huge_pages.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <new>

namespace haojian {

void AdviseHugePages(const void* data, std::size_t bytes) {
#ifdef MADV_HUGEPAGE
    constexpr std::uintptr_t kHugePage = std::uintptr_t(2) << 20;
    const auto start = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = (start + kHugePage - 1) & ~(kHugePage - 1);
    const std::uintptr_t last = (start + bytes) & ~(kHugePage - 1);
    if (last > first) ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#else
    (void)data;
    (void)bytes;
#endif
}

void FreeHugeBuffer::operator()(char* p) const noexcept {
    std::free(p);
}

HugeBuffer MakeHugeBuffer(std::size_t bytes) {
    constexpr std::size_t kHugePage = std::size_t(2) << 20;
    const std::size_t size =
        (std::max<std::size_t>(bytes, 1) + kHugePage - 1) / kHugePage * kHugePage;
    HugeBuffer buffer(static_cast<char*>(std::aligned_alloc(kHugePage, size)));
    if (!buffer) throw std::bad_alloc();
    AdviseHugePages(buffer.get(), size);
    return buffer;
}

void PrepareHugePages(const void* data, std::size_t bytes) {
    AdviseHugePages(data, bytes);
#ifdef MADV_POPULATE_WRITE
    // Whole pages only: the partial ones at either end may hold other data (harmless, but not
    // ours to touch).
    constexpr std::uintptr_t kPage = 4096;
    const auto start = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = (start + kPage - 1) & ~(kPage - 1);
    const std::uintptr_t last = (start + bytes) & ~(kPage - 1);
    if (last > first) ::madvise(reinterpret_cast<void*>(first), last - first, MADV_POPULATE_WRITE);
#endif
}

}  // namespace haojian
