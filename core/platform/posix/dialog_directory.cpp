// The dialogs' start on POSIX: the home folder when the program's directory is not writable.
#include "core/files/dialog_directory.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace haojian {

std::string DialogDirectory(const std::string& program_directory) {
    if (::access(program_directory.c_str(), W_OK) == 0) return program_directory;
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
        const passwd* user = ::getpwuid(::getuid());
        home = user && user->pw_dir ? user->pw_dir : "/";
    }
    std::string directory = home;
    if (directory.back() != '/') directory += '/';
    return directory;
}

}  // namespace haojian
