#include "line_list.h"

namespace haojian {

LineList LineList::FromBytes(std::string bytes) {
    LineList list;
    list.bytes_ = std::move(bytes);
    const char* const base = list.bytes_.data();
    ForEachLine(list.bytes_, [&](std::string_view line) {
        list.spans_.push_back({static_cast<std::uint64_t>(line.data() - base), line.size()});
    });
    list.spans_.shrink_to_fit();
    return list;
}

}  // namespace haojian
