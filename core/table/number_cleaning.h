#pragma once

#include <string>
#include <string_view>

namespace haojian {

// The mobile number taken out of an entry as people type it: full-width digits and separators
// become ASCII, typed separators are dropped, a "+86", "0086" or "86" before eleven digits
// starting with 1 is dropped, and a number inside other text is found.
struct CleanedNumber {
    enum class Kind {
        kUnchanged,  // the entry is a number as it stands
        kCleaned,    // a number was taken out of it
        kNoNumber,   // none was found: the entry is kept as it stands
    };
    Kind kind = Kind::kUnchanged;
    std::string number;  // the eleven digits, or the entry itself when none was found
};

// Cleans one entry (GBK bytes).
CleanedNumber CleanNumber(std::string_view entry);

}  // namespace haojian
