// The stack protector's guard value and failure handlers, in place of MinGW's libssp.
//
// libssp seeds the guard through CryptAcquireContext and CryptGenRandom at start-up, which loads
// the crypto provider and, with it, user32 and gdi32 with their font set-up: about 50 ms per
// start under wine, half the look-up of 1,000,000 numbers. Like the Windows compilers' own
// security cookie, the guard here mixes the time, the process and thread ids, the tick count, the
// performance counter and an address of the randomised layout; no library is loaded for it.
// Defining every symbol of libssp's ssp.o keeps the linker from taking that object at all.

#include <windows.h>

#include <cstdint>

extern "C" std::uintptr_t __stack_chk_guard;
std::uintptr_t __stack_chk_guard = 0;

namespace {

[[noreturn]] void Fail(const char* message, DWORD size) {
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), message, size, &written, nullptr);
    // The exit status Windows gives a process whose security cookie was overwritten.
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(STATUS_STACK_BUFFER_OVERRUN));
    __builtin_trap();
}

template <DWORD N>
[[noreturn]] void Fail(const char (&message)[N]) {
    Fail(message, N - 1);
}

// Runs before any other constructor, from the start-up code, which keeps no guarded frame open
// across it; the function itself holds no array, so it carries no guard of its own.
__attribute__((constructor(101), no_stack_protector)) void SeedStackGuard() {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    LARGE_INTEGER counter{};
    QueryPerformanceCounter(&counter);
    std::uintptr_t seed = (std::uintptr_t{now.dwHighDateTime} << 32) ^ now.dwLowDateTime;
    seed ^= std::uintptr_t{GetCurrentProcessId()} << 16;
    seed ^= std::uintptr_t{GetCurrentThreadId()} << 40;
    seed ^= static_cast<std::uintptr_t>(GetTickCount64()) << 24;
    seed ^= static_cast<std::uintptr_t>(counter.QuadPart) * 0x9E3779B97F4A7C15u;
    seed ^= reinterpret_cast<std::uintptr_t>(&seed);
    // A zero byte first stops string copies that overrun a buffer from rewriting the guard intact.
    __stack_chk_guard = seed << 8;
}

}  // namespace

extern "C" {

[[noreturn]] void __stack_chk_fail() {
    Fail("*** stack smashing detected ***: terminated\n");
}

[[noreturn]] void __stack_chk_fail_local() {
    __stack_chk_fail();
}

// The fortified string and memory functions (-D_FORTIFY_SOURCE) end here on an overflow.
[[noreturn]] void __chk_fail() {
    Fail("*** buffer overflow detected ***: terminated\n");
}
}
