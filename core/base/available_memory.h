#pragma once

#include <cstdint>

namespace haojian {

// The bytes of memory the system could give this process now without swapping (Linux's
// MemAvailable, Windows' available physical memory); 0 when unknown. Platform code.
std::uint64_t AvailableMemory() noexcept;

}  // namespace haojian
