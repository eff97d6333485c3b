#pragma once

#include <optional>
#include <string_view>

namespace haojian {

// The card-type digit of a carrier as segment tables name it (UTF-8): "1" for 中国移动, 移动,
// China Mobile or CMCC; "2" for 电信, China Telecom or CTCC; "3" for 联通, China Unicom or
// CUCC; "4" for a virtual operator (虚拟, 移动虚拟, 联通虚拟, 电信虚拟, 虚拟运营商, virtual,
// MVNO), whichever network it rides on. Latin letters in any case; none for anything else
// (中国广电 among them: the card types have no digit for it), and none for a name of two
// networks, such as 移动/联通 (see IsAmbiguousCarrier).
std::optional<char> CardDigitForCarrier(std::string_view name);

// True when name names more than one network (移动/联通, 电信 or 联通) and no virtual operator.
bool IsAmbiguousCarrier(std::string_view name);

}  // namespace haojian
