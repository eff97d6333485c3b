#include "core/platform/posix/temporary_names.h"

#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <sstream>

#include "core/platform/posix/unique_fd.h"

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

// Termination signals held back, and the one that came meanwhile.
std::atomic<int> g_deferring{0};
std::atomic<int> g_pending{0};

constexpr std::string_view kPrefix = ".haojian-";
constexpr std::string_view kChars =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr std::size_t kRandomChars = 6;

// When this process started, in nanoseconds of the real-time clock; 0 when unknown.
std::int64_t ProcessStart() {
    std::ifstream in("/proc/self/stat");
    std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t end = stat.rfind(')');  // after the command's name, which may hold spaces
    if (end == std::string::npos) return 0;
    std::istringstream fields(stat.substr(end + 2));
    std::string field;
    // starttime is field 22; fields from the state (3) on follow the name.
    for (int i = 3; i < 22 && fields >> field;) ++i;
    unsigned long long ticks = 0;
    if (!(fields >> ticks)) return 0;
    const long per_second = ::sysconf(_SC_CLK_TCK);
    timespec boot{};
    timespec now{};
    if (per_second <= 0 || ::clock_gettime(CLOCK_BOOTTIME, &boot) != 0 ||
        ::clock_gettime(CLOCK_REALTIME, &now) != 0) {
        return 0;
    }
    const auto nanos = [](const timespec& t) {
        return std::int64_t(t.tv_sec) * 1000000000 + t.tv_nsec;
    };
    const std::int64_t started_after_boot = std::int64_t(ticks) * (1000000000 / per_second);
    return nanos(now) - (nanos(boot) - started_after_boot);
}

// A leftover of an earlier run, by what its entry and its open file show.
bool IsLeftover(const struct stat& st, std::int64_t started) {
    const std::int64_t changed = std::int64_t(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    // A margin of a clock tick: the start time is known to no better.
    constexpr std::int64_t kMargin = 20'000'000;
    return S_ISREG(st.st_mode) && st.st_uid == ::geteuid() && st.st_nlink == 1 && started != 0 &&
           changed < started - kMargin;
}

}  // namespace

std::string MakeName() {
    static std::atomic<unsigned> counter{0};
    unsigned char bytes[kRandomChars];
    if (::getrandom(bytes, sizeof bytes, GRND_NONBLOCK) != ssize_t(sizeof bytes)) {
        auto seed = std::uint64_t(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                    (std::uint64_t(::getpid()) << 32) ^ counter++;
        for (unsigned char& b : bytes) {
            seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
            b = static_cast<unsigned char>(seed >> 56);
        }
    }
    std::string name(kPrefix);
    for (const unsigned char b : bytes) name += kChars[b % kChars.size()];
    return name;
}

bool IsName(std::string_view name) noexcept {
    if (!name.starts_with(kPrefix) || name.size() != kPrefix.size() + kRandomChars) return false;
    name.remove_prefix(kPrefix.size());
    return name.find_first_not_of(kChars) == std::string_view::npos;
}

std::vector<std::string> RemoveLeftovers(int folder_fd) {
    std::vector<std::string> removed;
    const int listed = ::openat(folder_fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listed < 0) return removed;  // a folder that may not be read: nothing to be done
    DIR* dir = ::fdopendir(listed);
    if (dir == nullptr) {
        ::close(listed);
        return removed;
    }
    const std::int64_t started = ProcessStart();
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        struct stat st {};
        if (!IsName(name) || ::fstatat(folder_fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 ||
            !IsLeftover(st, started)) {
            continue;
        }
        const UniqueFd file(::openat(folder_fd, name.c_str(),
                                     O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
        struct stat locked {};
        // Locked: still the name found, and no writer holds it. Removed under the lock, so
        // that a second run doing the same finds it gone.
        if (file && ::flock(file.get(), LOCK_EX | LOCK_NB) == 0 &&
            ::fstatat(folder_fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
            ::fstat(file.get(), &locked) == 0 && st.st_dev == locked.st_dev &&
            st.st_ino == locked.st_ino && IsLeftover(st, started) &&
            ::unlinkat(folder_fd, name.c_str(), 0) == 0) {
            removed.push_back(name);
        }
    }
    ::closedir(dir);
    return removed;
}

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

bool DeferTermination(int signal) noexcept {
    if (g_deferring.load() == 0) return false;
    g_pending.store(signal);
    return true;
}

TerminationDeferred::TerminationDeferred() noexcept {
    g_deferring.fetch_add(1);
}

TerminationDeferred::~TerminationDeferred() {
    if (g_deferring.fetch_sub(1) != 1) return;
    if (const int signal = g_pending.exchange(0); signal != 0) {
        RemoveAll();
        struct sigaction action {};
        action.sa_handler = SIG_DFL;
        ::sigaction(signal, &action, nullptr);
        // To the process, not this thread, which may be one that holds the signal back.
        ::kill(::getpid(), signal);
    }
}

// The deferring (a member) starts before the mask is set and ends after it is restored, so
// that a signal this thread held back meanwhile is deferred, not taken.
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
