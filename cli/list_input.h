#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace haojian::cli {

// What haojian-cli's reading of lists and databases asks of the system. Platform code.

// A list's bytes as they come: a file, a pipe or standard input.
class ListInput {
public:
    virtual ~ListInput() = default;
    // Reads up to size bytes, waiting for some; 0 at the end. Throws FileError (Read).
    virtual std::size_t Read(char* buffer, std::size_t size) = 0;
    // Whether some bytes (or the end) can be read now without waiting.
    virtual bool AtHand() const = 0;
};

// Opens the list at path, "-" for standard input, named shown_path in errors. A folder is
// refused (EISDIR). Throws FileError (Open).
std::unique_ptr<ListInput> OpenListInput(const std::string& path, const std::string& shown_path);

// What is at a path: nothing (error then holds the error number), a folder, a named pipe
// (FIFO, Linux only) or anything else that can be read to its end.
enum class PathKind { kNone, kFolder, kNamedPipe, kOther };
PathKind KindOfPath(const std::string& path, int& error);

}  // namespace haojian::cli
