#pragma once

#include <windows.h>

#include "window/address_opener.h"

namespace haojian::win32 {

// Opens an address with ShellExecute's verb "open", owned by owner and shown with show: the
// main window's commands show the handler as it is (SW_SHOW), the links normal (SW_SHOWNORMAL)
// owned by the application window.
class ShellAddressOpener final : public AddressOpener {
public:
    ShellAddressOpener(HWND owner, int show) : owner_(owner), show_(show) {}

    void OpenAddress(std::string_view address) override;

private:
    HWND owner_;
    int show_;
};

}  // namespace haojian::win32
