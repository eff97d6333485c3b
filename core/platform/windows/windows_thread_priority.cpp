#include <windows.h>

#include "core/threads/thread_priority.h"

namespace haojian {

void LowerCurrentThreadPriority() {
    ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_LOWEST);
}

}  // namespace haojian
