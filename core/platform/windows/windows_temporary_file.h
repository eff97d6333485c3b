#pragma once

#include <string>

namespace haojian {

// The system's folder for temporary files (GetTempPathW), ending in its separator; empty when
// the system gives none that fits in MAX_PATH characters, GetLastError then saying why.
std::wstring WideTemporaryFolder();

}  // namespace haojian
