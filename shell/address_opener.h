#pragma once

#include <QUrl>

namespace haojian {

// Opens a web or mailto: address with the desktop's handler. The window and the hyperlink
// labels go through this seam so that tests can record what was opened.
class AddressOpener {
public:
    virtual ~AddressOpener() = default;
    // True when a handler took the address; callers ignore the answer.
    virtual bool Open(const QUrl& address) = 0;
};

// The desktop's handler (QDesktopServices).
AddressOpener& DesktopAddressOpener();

}  // namespace haojian
