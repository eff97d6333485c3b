#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <string_view>

#include "core/files/file_system.h"

namespace haojian {

// The parts of a zip file (a workbook's XML files), read one at a time as a stream of their
// expanded bytes, through minizip on an InputFile that can seek.
class ZipParts {
public:
    // No part may expand beyond this: more than any sheet of Excel's 1,048,576 rows of
    // ordinary cells, far less than a zip bomb gives.
    static constexpr std::uint64_t kLargestPart = std::uint64_t(4) << 30;
    // The parts read whole (the workbook, its relations and styles) are held: a tighter bound.
    static constexpr std::size_t kLargestWholePart = std::size_t(256) << 20;

    // Opens the zip; throws TableError (kNotSeekable, kDamaged) naming path, or FileError.
    ZipParts(std::unique_ptr<InputFile> file, std::string path,
             std::uint64_t largest_part = kLargestPart);
    ~ZipParts();
    ZipParts(const ZipParts&) = delete;
    ZipParts& operator=(const ZipParts&) = delete;

    // Whether the zip holds a part of that name (OPC names match regardless of case).
    bool Has(std::string_view name);
    // Starts reading the part (closing the one read before). Throws TableError (kDamaged: no
    // such part, or an encrypted one; kTooLarge).
    void Open(std::string_view name);
    // The next expanded bytes of the open part: 0 at its end. Throws TableError (kDamaged on a
    // broken stream or checksum, kTooLarge past the bound), FileError.
    std::size_t Read(char* buffer, std::size_t size);
    // The whole of a part: for the small ones (the workbook, its relations and styles).
    std::string ReadWhole(std::string_view name);

    const std::string& path() const { return path_; }

private:
    struct Io;
    [[noreturn]] void Damaged(const std::string& what);
    void RethrowFileError();
    void CloseOpenPart();

    std::unique_ptr<Io> io_;
    std::string path_;
    std::uint64_t largest_part_;
    void* zip_ = nullptr;  // unzFile
    std::string part_;     // the open part's name, empty for none
    std::uint64_t expanded_ = 0;
};

}  // namespace haojian
