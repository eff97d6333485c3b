#include "core/threads/thread_priority.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace haojian {
namespace {

// Windows' "lowest" thread priority (two steps below normal, the last above idle) mapped onto
// Linux nice values: +10 gives the thread roughly a tenth of a normal thread's share when they
// compete, yet keeps it clear of nice 19, the closest Linux has to idle.
constexpr int kNiceSteps = 10;
constexpr int kNiceLimit = 19;

}  // namespace

void LowerCurrentThreadPriority() {
    // On Linux the nice value belongs to each thread; PRIO_PROCESS with a thread id sets it for
    // this thread alone.
    const pid_t tid = ::gettid();
    errno = 0;
    const int current = ::getpriority(PRIO_PROCESS, tid);
    if (current == -1 && errno != 0) return;
    ::setpriority(PRIO_PROCESS, tid, std::min(current + kNiceSteps, kNiceLimit));
}

}  // namespace haojian
