#include "win32/shell_address_opener.h"

#include <shellapi.h>

#include <string>

#include "win32/wide_text.h"

namespace haojian::win32 {

void ShellAddressOpener::OpenAddress(std::string_view address) {
    // Verbs are read without regard to case: "open" serves web and mailto: addresses alike.
    const std::wstring target = WideFromUtf8(address);
    ShellExecuteW(owner_, L"open", target.c_str(), nullptr, nullptr, show_);
}

}  // namespace haojian::win32
