#pragma once

namespace haojian {

// Opens /dev/null on each of the standard streams that the process was started without, the
// wrong way round (standard input for writing, the others for reading): files opened later
// then never take their place, and using a closed stream still fails (EBADF) rather than
// reaching a file.
void KeepStandardStreamsTaken() noexcept;

}  // namespace haojian
