#include "core/threads/thread_start.h"

#include <atomic>
#include <cerrno>

#include "core/files/file_system.h"

namespace haojian {
namespace {

std::atomic<int> g_refusals{0};

}  // namespace

ThreadStartError::ThreadStartError(int code)
    : Error("Cannot start a thread. " + ReasonForMessage(code)), code_(code) {}

void CheckThreadStart() {
    if (g_refusals.load(std::memory_order_relaxed) > 0) throw ThreadStartError(EAGAIN);
}

ThreadStartsRefused::ThreadStartsRefused() {
    ++g_refusals;
}

ThreadStartsRefused::~ThreadStartsRefused() {
    --g_refusals;
}

}  // namespace haojian
