#include "core/text/line_list.h"

#include <algorithm>

namespace haojian {

LineList LineList::FromBytes(std::string bytes) {
    LineList list;
    list.bytes_ = std::move(bytes);
    const char* const base = list.bytes_.data();
    // Most texts end their lines with LF: room for that many lines, rarely more.
    list.spans_.reserve(std::size_t(std::count(list.bytes_.begin(), list.bytes_.end(), '\n')) + 1);
    ForEachLine(list.bytes_, [&](std::string_view line) {
        list.spans_.push_back({static_cast<std::uint64_t>(line.data() - base), line.size()});
    });
    if (list.spans_.capacity() - list.spans_.size() > list.spans_.size() / 8) {
        list.spans_.shrink_to_fit();
    }
    return list;
}

}  // namespace haojian
