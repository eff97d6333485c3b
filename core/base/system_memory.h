#pragma once

#include <cstdint>

namespace haojian {

// The bytes of memory the system could give this process now without swapping (Linux's
// MemAvailable, Windows' available physical memory); 0 when unknown. Platform code.
std::uint64_t AvailableMemory() noexcept;

// Gives the memory that the process has freed but its allocator still holds back to the
// system, so that work done in steps (a merge's runs) keeps to its own size. Platform code.
void ReturnFreeMemory() noexcept;

}  // namespace haojian
