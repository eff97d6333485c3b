#include "core/files/buffered_writer.h"

namespace haojian {

BufferedWriter::BufferedWriter(OutputFile& file, std::size_t capacity)
    : file_(file), buffer_(std::make_unique_for_overwrite<char[]>(capacity)), capacity_(capacity) {}

void BufferedWriter::Flush() {
    if (used_ == 0) return;
    // Emptied first: after a failed write nothing is retried.
    const std::size_t size = used_;
    used_ = 0;
    file_.Write(std::string_view(buffer_.get(), size));
}

void BufferedWriter::AppendLarge(std::string_view bytes) {
    Flush();
    if (bytes.size() >= capacity_) {
        file_.Write(bytes);
        return;
    }
    std::memcpy(buffer_.get(), bytes.data(), bytes.size());
    used_ = bytes.size();
}

}  // namespace haojian
