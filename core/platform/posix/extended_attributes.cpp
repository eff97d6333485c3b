#include "core/platform/posix/extended_attributes.h"

#include <sys/xattr.h>

#include <algorithm>
#include <cerrno>
#include <string_view>
#include <vector>

namespace haojian {
namespace {

constexpr std::string_view kAccessList = "system.posix_acl_access";
constexpr std::string_view kCapability = "security.capability";

// The attribute names of fd; false with errno set on failure.
bool Names(int fd, std::vector<std::string>& names) {
    names.clear();
    std::vector<char> buffer;
    for (;;) {
        const ssize_t size = ::flistxattr(fd, nullptr, 0);
        if (size < 0) return errno == ENOTSUP;  // no attributes on this file system
        buffer.resize(std::size_t(size));
        const ssize_t n = ::flistxattr(fd, buffer.data(), buffer.size());
        if (n >= 0) {
            buffer.resize(std::size_t(n));
            break;
        }
        if (errno != ERANGE) return false;  // ERANGE: it grew meanwhile
    }
    for (std::size_t at = 0; at < buffer.size();) {
        const std::string name(buffer.data() + at);
        at += name.size() + 1;
        if (!name.empty() && name != kCapability) names.push_back(name);
    }
    return true;
}

// The value of name on fd; false with errno set on failure (ENODATA: it has none).
bool Value(int fd, const std::string& name, std::string& value) {
    for (;;) {
        const ssize_t size = ::fgetxattr(fd, name.c_str(), nullptr, 0);
        if (size < 0) return false;
        value.resize(std::size_t(size));
        const ssize_t n = ::fgetxattr(fd, name.c_str(), value.data(), value.size());
        if (n >= 0) {
            value.resize(std::size_t(n));
            return true;
        }
        if (errno != ERANGE) return false;
    }
}

std::string Described(const std::string& name) {
    return name == kAccessList ? "access control list" : "extended attribute " + name;
}

bool Lost(const std::string& name, AttributeLoss& loss) {
    loss = {Described(name), errno};
    return false;
}

}  // namespace

bool KeepExtendedAttributes(int from, int to, AttributeLoss& loss) {
    std::vector<std::string> wanted;
    std::vector<std::string> present;
    if (!Names(from, wanted) || !Names(to, present)) {
        loss = {"extended attributes", errno};
        return false;
    }
    // One the replacement has of its own goes first: an inherited access list grants what the
    // old file's did not.
    for (const std::string& name : present) {
        if (std::find(wanted.begin(), wanted.end(), name) != wanted.end()) continue;
        if (::fremovexattr(to, name.c_str()) != 0 && errno != ENODATA) return Lost(name, loss);
    }
    std::string value;
    std::string had;
    for (const std::string& name : wanted) {
        if (!Value(from, name, value)) {
            if (errno == ENODATA) continue;  // removed meanwhile
            return Lost(name, loss);
        }
        // A label the new file was given already (by its folder) is not set again: setting it
        // may need a right that keeping it does not.
        if (Value(to, name, had) && had == value) continue;
        if (::fsetxattr(to, name.c_str(), value.data(), value.size(), 0) != 0) {
            return Lost(name, loss);
        }
    }
    return true;
}

}  // namespace haojian
