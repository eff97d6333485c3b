#pragma once

namespace haojian {

// Lowers the calling thread to the lowest priority above idle, so that a long background
// task leaves the window responsive. Failure is ignored: the thread then runs as it was.
void LowerCurrentThreadPriority();

}  // namespace haojian
