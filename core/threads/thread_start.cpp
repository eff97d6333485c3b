#include "core/threads/thread_start.h"

#include <atomic>
#include <cerrno>

#include "core/text/gbk.h"

namespace haojian {
namespace {

std::atomic<int> g_refusals{0};

}  // namespace

ThreadStartError::ThreadStartError(int code) : ThreadStartError(code, SystemReason(code)) {}

ThreadStartError::ThreadStartError(int code, std::string reason)
    : Error("Cannot start a thread. " + GbkFromUtf8(reason)),
      code_(code),
      reason_(std::move(reason)) {}

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
