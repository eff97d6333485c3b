#include "core/files/termination_cleanup.h"

#include <signal.h>

#include "core/platform/posix/temporary_names.h"

namespace haojian {
namespace {

// Only async-signal-safe calls: unlinkat, then the signal again with its default action,
// delivered once the handler returns. While a file is rewritten in place the signal waits for
// the end of that (see TerminationDeferred).
void OnTermination(int signal) {
    if (temporary_names::DeferTermination(signal)) return;
    temporary_names::RemoveAll();
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    ::sigaction(signal, &action, nullptr);
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
        ::sigaction(signal, &action, nullptr);
    }
    // Past a file size limit (ulimit -f) a write then fails with EFBIG, which is reported with
    // the file's name, and the result is abandoned as after any failure.
    ::signal(SIGXFSZ, SIG_IGN);
}

}  // namespace haojian
