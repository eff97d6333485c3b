#include "core/table/zip_parts.h"

#include <minizip/unzip.h>

#include <algorithm>
#include <utility>

#include "core/table/table_error.h"

namespace haojian {

// minizip's file functions over an InputFile. A failure of the file is kept here and thrown
// once minizip has returned, never through its C frames.
struct ZipParts::Io {
    std::unique_ptr<InputFile> file;
    std::uint64_t position = 0;
    std::exception_ptr failure;

    static voidpf ZCALLBACK Open(voidpf opaque, const void*, int) { return opaque; }
    static uLong ZCALLBACK Read(voidpf, voidpf stream, void* buffer, uLong size) {
        auto& io = *static_cast<Io*>(stream);
        try {
            uLong done = 0;
            while (done < size) {
                const std::size_t n = io.file->Read(static_cast<char*>(buffer) + done, size - done);
                if (n == 0) break;
                done += uLong(n);
            }
            io.position += done;
            return done;
        } catch (...) {
            io.failure = std::current_exception();
            return 0;
        }
    }
    static uLong ZCALLBACK Write(voidpf, voidpf, const void*, uLong) { return 0; }
    static ZPOS64_T ZCALLBACK Tell(voidpf, voidpf stream) {
        return static_cast<Io*>(stream)->position;
    }
    static long ZCALLBACK Seek(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
        auto& io = *static_cast<Io*>(stream);
        std::uint64_t to = offset;
        if (origin == ZLIB_FILEFUNC_SEEK_CUR) to = io.position + offset;
        if (origin == ZLIB_FILEFUNC_SEEK_END) to = io.file->Size() + offset;
        try {
            if (to > io.file->Size() || !io.file->Seek(to)) return -1;
        } catch (...) {
            io.failure = std::current_exception();
            return -1;
        }
        io.position = to;
        return 0;
    }
    static int ZCALLBACK Close(voidpf, voidpf) { return 0; }
    static int ZCALLBACK Error(voidpf, voidpf stream) {
        return static_cast<Io*>(stream)->failure ? 1 : 0;
    }
};

ZipParts::ZipParts(std::unique_ptr<InputFile> file, std::string path, std::uint64_t largest_part)
    : io_(std::make_unique<Io>()), path_(std::move(path)), largest_part_(largest_part) {
    io_->file = std::move(file);
    if (io_->file->Size() == 0 || !io_->file->Seek(0)) {
        throw TableError(TableError::Kind::kNotSeekable, path_,
                         "a workbook must be read from a file, not from a pipe");
    }
    zlib_filefunc64_def functions{};
    functions.zopen64_file = &Io::Open;
    functions.zread_file = &Io::Read;
    functions.zwrite_file = &Io::Write;
    functions.ztell64_file = &Io::Tell;
    functions.zseek64_file = &Io::Seek;
    functions.zclose_file = &Io::Close;
    functions.zerror_file = &Io::Error;
    functions.opaque = io_.get();
    zip_ = unzOpen2_64(path_.c_str(), &functions);
    RethrowFileError();
    if (zip_ == nullptr) Damaged("the zip's directory is missing or damaged (a truncated file?)");
}

ZipParts::~ZipParts() {
    if (zip_ == nullptr) return;
    if (!part_.empty()) unzCloseCurrentFile(zip_);
    unzClose(zip_);
}

void ZipParts::Damaged(const std::string& what) {
    throw TableError(TableError::Kind::kDamaged, path_, "damaged workbook: " + what);
}

void ZipParts::RethrowFileError() {
    if (io_->failure) std::rethrow_exception(std::exchange(io_->failure, nullptr));
}

void ZipParts::CloseOpenPart() {
    if (part_.empty()) return;
    unzCloseCurrentFile(zip_);
    part_.clear();
}

bool ZipParts::Has(std::string_view name) {
    CloseOpenPart();
    const bool found = unzLocateFile(zip_, std::string(name).c_str(), 2) == UNZ_OK;
    RethrowFileError();
    return found;
}

void ZipParts::Open(std::string_view name) {
    if (!Has(name)) Damaged("it has no part " + std::string(name));
    unz_file_info64 info{};
    if (unzGetCurrentFileInfo64(zip_, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) {
        RethrowFileError();
        Damaged("the entry of " + std::string(name) + " cannot be read");
    }
    if ((info.flag & 1) != 0) {
        throw TableError(TableError::Kind::kEncrypted, path_,
                         "the workbook's parts are encrypted (a password-protected zip)");
    }
    if (info.uncompressed_size > largest_part_) {
        throw TableError(TableError::Kind::kTooLarge, path_,
                         std::string(name) + " would expand to " +
                             std::to_string(info.uncompressed_size >> 20) +
                             " MB, beyond the bound of " + std::to_string(largest_part_ >> 20) +
                             " MB for one part (a zip bomb?)");
    }
    if (unzOpenCurrentFile(zip_) != UNZ_OK) {
        RethrowFileError();
        Damaged(std::string(name) + " cannot be opened (compressed in a way zip readers lack?)");
    }
    part_ = std::string(name);
    expanded_ = 0;
}

std::size_t ZipParts::Read(char* buffer, std::size_t size) {
    if (part_.empty()) return 0;
    const int n = unzReadCurrentFile(zip_, buffer, unsigned(std::min<std::size_t>(size, 1u << 30)));
    RethrowFileError();
    if (n < 0) Damaged(part_ + " is cut short or its data are broken");
    expanded_ += std::size_t(n);
    if (expanded_ > largest_part_) {
        throw TableError(TableError::Kind::kTooLarge, path_,
                         part_ + " expands beyond the bound of " +
                             std::to_string(largest_part_ >> 20) +
                             " MB for one part (a zip bomb?)");
    }
    if (n == 0) {
        const int closed = unzCloseCurrentFile(zip_);
        part_.clear();
        RethrowFileError();
        if (closed == UNZ_CRCERROR) Damaged("a part's checksum does not match its data");
    }
    return std::size_t(n);
}

std::string ZipParts::ReadWhole(std::string_view name) {
    Open(name);
    std::string bytes;
    char buffer[1 << 16];
    while (const std::size_t n = Read(buffer, sizeof buffer)) {
        bytes.append(buffer, n);
        if (bytes.size() > kLargestWholePart) {
            throw TableError(TableError::Kind::kTooLarge, path_,
                             std::string(name) + " expands beyond the bound of " +
                                 std::to_string(kLargestWholePart >> 20) + " MB for that part");
        }
    }
    return bytes;
}

}  // namespace haojian
