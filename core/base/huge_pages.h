#pragma once

#include <cstddef>
#include <memory>
#include <vector>

namespace haojian {

// Asks the system to back the whole 2 MiB pages of [data, data + bytes) with huge pages when
// they are first touched, so that tables and texts read at random miss the processor's address
// cache far less. Only a hint: where the system declines, nothing changes.
void AdviseHugePages(const void* data, std::size_t bytes);

// AdviseHugePages, then has the system back every page of the range at once, for memory that
// is about to be filled whole: on a virtual machine this costs a fraction of taking the pages
// one fault at a time as the filling reaches them.
void PrepareHugePages(const void* data, std::size_t bytes);

// Room for bytes bytes, aligned to and advised for huge pages; throws std::bad_alloc.
struct FreeHugeBuffer {
    void operator()(char* p) const noexcept;
};
using HugeBuffer = std::unique_ptr<char[], FreeHugeBuffer>;
HugeBuffer MakeHugeBuffer(std::size_t bytes);

// Reserves room for count elements in v, in huge pages where the system allows.
template <class T>
void ReserveHuge(std::vector<T>& v, std::size_t count) {
    v.reserve(count);
    AdviseHugePages(v.data(), v.capacity() * sizeof(T));
}

}  // namespace haojian
