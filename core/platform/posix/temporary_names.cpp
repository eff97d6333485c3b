#include "core/platform/posix/temporary_names.h"

#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <cstring>

namespace haojian::temporary_names {
namespace {

constexpr int kFree = -1;
constexpr int kFilling = -2;

// A slot's folder descriptor tells its state: kFree, kFilling, or the folder once name is
// complete. Lock-free atomics are safe to read from a signal handler.
struct Slot {
    std::atomic<int> dir_fd{kFree};
    char name[64];
};
static_assert(std::atomic<int>::is_always_lock_free);

constexpr int kSlots = 16;
Slot g_slots[kSlots];

}  // namespace

int Note(int dir_fd, std::string_view name) noexcept {
    if (dir_fd < 0 || name.size() >= sizeof Slot::name) return -1;
    for (int i = 0; i < kSlots; ++i) {
        int expected = kFree;
        if (!g_slots[i].dir_fd.compare_exchange_strong(expected, kFilling)) continue;
        std::memcpy(g_slots[i].name, name.data(), name.size());
        g_slots[i].name[name.size()] = '\0';
        g_slots[i].dir_fd.store(dir_fd, std::memory_order_release);
        return i;
    }
    return -1;
}

void Forget(int slot) noexcept {
    if (slot >= 0 && slot < kSlots) g_slots[slot].dir_fd.store(kFree, std::memory_order_release);
}

void RemoveAll() noexcept {
    for (Slot& slot : g_slots) {
        const int dir_fd = slot.dir_fd.load(std::memory_order_acquire);
        if (dir_fd >= 0) ::unlinkat(dir_fd, slot.name, 0);
    }
}

SignalsHeld::SignalsHeld() noexcept {
    sigset_t held;
    sigemptyset(&held);
    for (const int signal : kSignals) sigaddset(&held, signal);
    pthread_sigmask(SIG_BLOCK, &held, &old_);
}

SignalsHeld::~SignalsHeld() {
    pthread_sigmask(SIG_SETMASK, &old_, nullptr);
}

}  // namespace haojian::temporary_names
