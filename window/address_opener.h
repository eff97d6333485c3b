#pragma once

#include <string_view>

namespace haojian {

// Opens a web or mailto: address with the desktop's handler: the one way both windows' commands
// (home page, contact) and hyperlink labels open an address. Tests record what was opened.
class AddressOpener {
public:
    virtual ~AddressOpener() = default;
    // address: UTF-8. The desktop's answer is not examined: an address no handler takes opens
    // nothing, silently.
    virtual void OpenAddress(std::string_view address) = 0;
};

}  // namespace haojian
