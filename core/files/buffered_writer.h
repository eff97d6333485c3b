#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <string_view>

#include "core/files/file_system.h"

namespace haojian {

// Collects small pieces of text and hands them to an OutputFile in large blocks, so that a
// file of many short lines costs few write calls. Flush() must be called before the file is
// closed; what is still buffered when the writer goes is dropped.
class BufferedWriter {
public:
    static constexpr std::size_t kDefaultCapacity = std::size_t(4) << 20;

    explicit BufferedWriter(OutputFile& file, std::size_t capacity = kDefaultCapacity);
    BufferedWriter(const BufferedWriter&) = delete;
    BufferedWriter& operator=(const BufferedWriter&) = delete;

    void Append(std::string_view bytes) {
        if (bytes.size() > capacity_ - used_) {
            AppendLarge(bytes);
            return;
        }
        std::memcpy(buffer_.get() + used_, bytes.data(), bytes.size());
        used_ += bytes.size();
    }
    void Append(char c) {
        if (used_ == capacity_) Flush();
        buffer_[used_++] = c;
    }
    void AppendLine(std::string_view line) {
        Append(line);
        Append(std::string_view("\r\n", 2));
    }
    // Room for at least size bytes (size <= capacity), to be filled and then claimed by
    // Commit(size actually written).
    char* Reserve(std::size_t size) {
        if (size > capacity_ - used_) Flush();
        return buffer_.get() + used_;
    }
    void Commit(std::size_t size) { used_ += size; }

    // Writes out what is buffered. Throws FileError (Write).
    void Flush();

private:
    void AppendLarge(std::string_view bytes);

    OutputFile& file_;
    std::unique_ptr<char[]> buffer_;
    std::size_t capacity_;
    std::size_t used_ = 0;
};

}  // namespace haojian
