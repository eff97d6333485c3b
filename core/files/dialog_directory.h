#pragma once

#include <string>

namespace haojian {

// Where the Import, Export and Merge dialogs start: the program's directory, as a program
// unpacked in a folder of the user's expects; the user's own folder when the user may not
// create files there (a program installed in a system folder, where an export would only be
// refused): the home folder on POSIX, Documents on Windows. Both end in the path separator
// that program_directory ends in.
std::string DialogDirectory(const std::string& program_directory);

}  // namespace haojian
