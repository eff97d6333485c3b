#include "core/files/termination_cleanup.h"

#include <signal.h>

#include "core/platform/posix/temporary_names.h"

namespace haojian {
namespace {

// Only async-signal-safe calls: unlinkat, then the signal again with its default action (set
// back on entry by SA_RESETHAND), delivered once the handler returns.
void OnTermination(int signal) {
    temporary_names::RemoveAll();
    ::raise(signal);
}

}  // namespace

void RemoveTemporaryFilesOnTermination() {
    for (const int signal : temporary_names::kSignals) {
        struct sigaction old {};
        if (::sigaction(signal, nullptr, &old) != 0 || old.sa_handler == SIG_IGN) continue;
        struct sigaction action {};
        action.sa_handler = OnTermination;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESETHAND;
        ::sigaction(signal, &action, nullptr);
    }
}

}  // namespace haojian
