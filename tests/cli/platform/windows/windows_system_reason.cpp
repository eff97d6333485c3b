#include <string>

#include "tests/cli/system_reason.h"

namespace haojian::testing {

// FormatMessageW words the reason in the system's language, and wine in words of its own.
bool EndsWithSystemReason(const std::string& message, const std::string& before,
                          const std::string& /*posix_reason*/) {
    const std::string opening = before + " (";
    const std::size_t at = message.rfind(opening);
    return at != std::string::npos && message.ends_with(")\n") &&
           message.size() > at + opening.size() + 2;
}

}  // namespace haojian::testing
