#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "core/files/file_system.h"

namespace haojian::testing {

// The real file system, except that the nth call of one chosen operation fails with a chosen
// error number. Every call is counted, so a test can first run clean to learn how many calls
// of an operation a command makes, then fail each in turn.
class FaultyFileSystem final : public FileSystem {
public:
    // Create is CreateReplacement; Read, Write and Close are calls on the files opened
    // through this file system, and Rename the Commit that puts a replacement in place (Close
    // is counted first). TempCreate is CreateTemporary, TempWrite and TempRead the calls on
    // the temporary files it gives.
    enum class Op {
        Open,
        Read,
        Create,
        Write,
        Close,
        Rename,
        TempCreate,
        TempWrite,
        TempRead,
        kCount
    };

    explicit FaultyFileSystem(FileSystem& inner = RealFileSystem()) : inner_(inner) {}

    // Makes the nth call (1-based) of op fail with code. For Read, code 0 makes the call give
    // no bytes, an early end of the file.
    void FailAt(Op op, int nth, int code) {
        fail_op_ = op;
        fail_nth_ = nth;
        fail_code_ = code;
    }
    int Calls(Op op) const { return calls_[std::size_t(op)]; }
    // Just before the nth Read call (1-based), the file being read is cut or extended to
    // new_size on disk: a file that changes while it is read.
    void ResizeAt(int nth_read, std::uint64_t new_size) {
        resize_nth_ = nth_read;
        resize_to_ = new_size;
    }

    // Counts a call of op; true when it is the one to fail. A Read call may first resize the
    // file at path (see ResizeAt).
    bool Fails(Op op, const std::string& path = {});
    int fail_code() const { return fail_code_; }

    bool IsFile(const std::string& path) override { return inner_.IsFile(path); }
    std::unique_ptr<InputFile> OpenRead(const std::string& path) override;
    std::uint64_t SizeHint(const std::string& path) noexcept override {
        return inner_.SizeHint(path);
    }
    std::unique_ptr<StagedFile> CreateReplacement(const std::string& target) override;
    std::unique_ptr<TemporaryFile> CreateTemporary(const std::string& folder) override;

private:
    FileSystem& inner_;
    std::array<int, std::size_t(Op::kCount)> calls_{};
    Op fail_op_ = Op::kCount;
    int fail_nth_ = 0;
    int fail_code_ = 0;
    int resize_nth_ = 0;
    std::uint64_t resize_to_ = 0;
};

// The names of the entries in directory, sorted: to see that no temporary file was left.
std::vector<std::string> FileNames(const std::string& directory);

}  // namespace haojian::testing
