#pragma once

#include <string>

namespace haojian::cli {

// A number list as the commands take it. The desktop program reads a list's bytes as they
// stand; lists saved by other programs often begin with a byte-order mark, so here a UTF-8
// mark is skipped and a list marked as UTF-16 is converted to GBK (characters GBK lacks become
// "?"). note says what was done, for standard error; it is empty for a list taken as it is.
struct ListText {
    std::string bytes;
    std::string note;
};

ListText ListFromBytes(std::string bytes);

}  // namespace haojian::cli
