// Windows gives large pages only to accounts holding the "lock pages in memory" right: the
// hints are left out, and buffers are plain aligned memory.
#include <malloc.h>

#include <algorithm>
#include <new>

#include "core/base/huge_pages.h"

namespace haojian {

void AdviseHugePages(const void*, std::size_t) {}

void PrepareHugePages(const void*, std::size_t) {}

void FreeHugeBuffer::operator()(char* p) const noexcept {
    ::_aligned_free(p);
}

HugeBuffer MakeHugeBuffer(std::size_t bytes) {
    constexpr std::size_t kPage = 4096;
    HugeBuffer buffer(
        static_cast<char*>(::_aligned_malloc(std::max<std::size_t>(bytes, 1), kPage)));
    if (!buffer) throw std::bad_alloc();
    return buffer;
}

}  // namespace haojian
