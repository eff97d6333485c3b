#include "core/threads/termination_signals_blocked.h"

#include <pthread.h>
#include <signal.h>

#include <new>

#include "core/platform/posix/temporary_names.h"

namespace haojian {

TerminationSignalsBlocked::TerminationSignalsBlocked() noexcept {
    static_assert(sizeof(sigset_t) <= sizeof old_ && alignof(sigset_t) <= 8);
    sigset_t held;
    sigemptyset(&held);
    for (const int signal : temporary_names::kSignals) sigaddset(&held, signal);
    pthread_sigmask(SIG_BLOCK, &held, ::new (old_) sigset_t);
}

TerminationSignalsBlocked::~TerminationSignalsBlocked() {
    pthread_sigmask(SIG_SETMASK, std::launder(reinterpret_cast<sigset_t*>(old_)), nullptr);
}

}  // namespace haojian
