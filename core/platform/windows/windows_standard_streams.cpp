#include "core/files/standard_streams.h"

namespace haojian {

// A standard handle the process was started without is never given to a file opened later:
// nothing to hold.
void KeepStandardStreamsTaken() noexcept {}

}  // namespace haojian
