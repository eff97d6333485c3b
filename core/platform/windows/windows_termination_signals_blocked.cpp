// Windows ends a program through console events, which a handler on a thread of its own takes:
// there is no signal for a thread to hold back.
#include "core/threads/termination_signals_blocked.h"

namespace haojian {

TerminationSignalsBlocked::TerminationSignalsBlocked() noexcept : old_{} {}

TerminationSignalsBlocked::~TerminationSignalsBlocked() = default;

}  // namespace haojian
