#pragma once

#include "window/address_opener.h"

namespace haojian {

// The desktop's handler (QDesktopServices).
AddressOpener& DesktopAddressOpener();

}  // namespace haojian
