#pragma once

namespace haojian {

// Lets the process hold as many files open as the system allows it, for a command that keeps a
// file open per value of a split export (the soft limit is often far below the hard one).
// Platform code; nothing to do where handles have no such limit.
void RaiseOpenFileLimit() noexcept;

}  // namespace haojian
