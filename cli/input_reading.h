#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/files/file_system.h"

namespace haojian::cli {

// Opens an input of command for reading ("/dev/stdin" is standard input). A named pipe that no
// program writes to yet is waited for, which is said on standard error after a second.
// Throws FileError (Open).
std::unique_ptr<InputFile> OpenInput(std::string_view command, const std::string& path);

// A whole input as a command uses it: its text ends at the first NUL character.
struct InputText {
    std::string bytes;                 // up to the NUL character, without it
    std::string head;                  // the first bytes (up to 64), to tell what the input is
    std::optional<std::uint64_t> nul;  // the NUL character's offset in the input
    // The bytes after the NUL character when known (a file of known size: it is not read past
    // the NUL); nothing for a stream that had more after it.
    std::optional<std::uint64_t> after_nul;
};

// What an input may be: what it is called in messages ("segment database"), the most bytes it
// may hold, and whether a UTF-16 byte-order mark makes its NUL characters two bytes wide.
struct InputLimit {
    std::string_view what;
    std::uint64_t bytes;
    bool utf16_marks;
};
inline constexpr InputLimit kDatabaseLimit{"segment database", std::uint64_t(1) << 30, false};
inline constexpr InputLimit kTableLimit{"segment table", std::uint64_t(2) << 30, true};

// Reads file (opened from path) up to its first NUL character and no further, so that a source
// without an end (/dev/zero) stops there. Throws Failure for an input larger than limit, which
// no real one is (a device or a program that never ends), FileError when it cannot be read.
InputText ReadInputText(InputFile& file, const std::string& path, const InputLimit& limit);

}  // namespace haojian::cli
