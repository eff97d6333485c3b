#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/files/file_system.h"

namespace haojian {

// The sources of a merge joined byte for byte in list order, read as far as a caller wants at
// a time, up to the first NUL byte, which ends the text: nothing from it on is read, so a
// source without an end (a device of zeros) ends there too. Each source is opened when its
// turn comes and released once read.
class JoinedSources {
public:
    JoinedSources(FileSystem& fs, const std::vector<std::string>& sources);
    ~JoinedSources();
    JoinedSources(const JoinedSources&) = delete;
    JoinedSources& operator=(const JoinedSources&) = delete;

    // The sum of the sources' sizes (see FileSystem::SizeHint), and whether every source had
    // one, so that the sum is the text's length unless a NUL byte cuts it.
    std::uint64_t SizeHint() const { return size_hint_; }
    bool SizesKnown() const { return sizes_known_; }

    // Appends the text that follows to text until text holds at least until bytes or the text
    // ends. Text that must grow doubles, up to room bytes (or until, if more). Throws
    // FileError: Open or Read with the source's path (a source that shrinks or grows while it
    // is read is a Read failure with kSizeChangedReason).
    void Fill(std::string& text, std::size_t until, std::size_t room = SIZE_MAX);
    bool Ended() const { return ended_; }
    // The bytes of the joined text read so far.
    std::uint64_t BytesRead() const { return read_; }

    // Where a NUL byte ended the text: the source's index and the byte's offset in it.
    struct Cut {
        std::size_t source;
        std::uint64_t offset;
    };
    const std::optional<Cut>& NulCut() const { return cut_; }

private:
    // Reads into text from the source open now; false when it has ended (and is released).
    bool ReadSome(std::string& text, std::size_t until, std::size_t room);
    void CheckEnd();

    FileSystem& fs_;
    const std::vector<std::string>& sources_;
    std::uint64_t size_hint_ = 0;
    bool sizes_known_ = true;
    std::size_t next_ = 0;  // the source to open next
    std::unique_ptr<InputFile> file_;
    std::uint64_t file_size_ = 0;  // 0: unknown, read to its end
    std::uint64_t file_read_ = 0;
    std::uint64_t read_ = 0;
    bool ended_ = false;
    std::optional<Cut> cut_;
};

// The position just after the last line end of text that no later byte could change: after its
// last LF, or after a CR that a byte other than LF follows. 0 when there is none.
std::size_t LastSureLineStart(std::string_view text);

}  // namespace haojian
