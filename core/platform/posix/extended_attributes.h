#pragma once

#include <string>

namespace haojian {

// What of a file's extended attributes could not be given to its replacement.
struct AttributeLoss {
    std::string what;  // "access control list", "extended attribute user.x"
    int code = 0;      // the system's error number
};

// Gives the file open as to the extended attributes of the file open as from: its access
// control list, user.* attributes, security labels (SELinux's, Smack's), and whatever else the
// file system keeps so. Attributes to has and from has not (an access control list inherited
// from the folder's default one) are removed, so that to grants no more than from did. A file
// capability (security.capability) is not given: the system drops it from any file that is
// written. True when everything was kept; else loss says what was not, and to may hold part.
bool KeepExtendedAttributes(int from, int to, AttributeLoss& loss);

}  // namespace haojian
