#pragma once

#include <set>
#include <string>
#include <string_view>

namespace haojian {

// File names for the files of a split export, one per value: the value (GBK) as a UTF-8 name
// that both Linux and Windows accept. Characters Windows forbids (<>:"/\|?* and control
// characters) become "_", trailing dots and spaces are dropped, a device name such as CON or
// LPT1 gets a leading "_", a long value is shortened, and a name already given (letter case
// ignored, as Windows compares) gets a mark " (2)", " (3)"...
class SplitFileNames {
public:
    // The name for value's file, with extension (such as ".txt") at its end.
    std::string Take(std::string_view value, std::string_view extension);

private:
    std::set<std::string> given_;  // folded to lower case
};

}  // namespace haojian
