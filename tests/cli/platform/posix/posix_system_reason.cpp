#include <string>

#include "tests/cli/system_reason.h"

namespace haojian::testing {

bool EndsWithSystemReason(const std::string& message, const std::string& before,
                          const std::string& posix_reason) {
    return message.ends_with(before + " (" + posix_reason + ")\n");
}

}  // namespace haojian::testing
