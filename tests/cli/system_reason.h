// The system's reason for a failure, as haojian-cli adds it to a message.
#pragma once

#include <string>

namespace haojian::testing {

// Whether message ends in before + " (" + the system's reason + ")\n". The reason is compared
// as posix_reason where the system words it so, as any text where the system words it in its
// own way and language.
bool EndsWithSystemReason(const std::string& message, const std::string& before,
                          const std::string& posix_reason);

}  // namespace haojian::testing
