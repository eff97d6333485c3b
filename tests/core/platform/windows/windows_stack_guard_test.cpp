// The stack protector on Windows: a guard that is set, and an overrun that ends the program.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>

extern "C" std::uintptr_t __stack_chk_guard;

namespace {

volatile std::size_t overrun_length = 64;

// Writes past its own buffer; the length is volatile so that neither the compiler nor the
// fortified functions see the overrun coming.
__attribute__((noinline)) int OverrunOwnBuffer() {
    char buffer[16];
    volatile char* bytes = buffer;
    for (std::size_t i = 0; i < overrun_length; ++i) {
        bytes[i] = 'x';
    }
    return bytes[3];
}

TEST(WindowsStackGuard, IsSeededBeforeMainAndStartsWithAZeroByte) {
    EXPECT_NE(__stack_chk_guard, 0u);
    EXPECT_EQ(__stack_chk_guard & 0xff, 0u);
}

TEST(WindowsStackGuardDeathTest, AnOverrunEndsTheProgramAsWindowsDoes) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(OverrunOwnBuffer(),
                testing::ExitedWithCode(static_cast<int>(STATUS_STACK_BUFFER_OVERRUN)),
                "stack smashing detected");
}

}  // namespace
