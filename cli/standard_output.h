#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "core/files/file_system.h"

namespace haojian::cli {

// The words of a notice, UTF-8.
std::string NoticeText(const FileNotice& notice);

// Writes to standard output, as it is; errors name "standard output". As a result staged for
// standard output it is in place from the start: Commit() has nothing left to do.
class StandardOutput final : public StagedFile {
public:
    void Write(std::string_view bytes) override;
    void Commit() override {}
};

// Writes bytes to standard output at once, unbuffered, so that a failing write is seen where it
// happens. Throws FileError (Write, naming standard output).
void WriteStandardOutput(std::string_view bytes);

// The real file system, except that the result meant for standard output (kStandardOutput) is
// written straight to it: never a file put in place of whatever standard output names, nor
// that file rewritten from its start. What the results' files have to say (FileNotice) is
// said on standard error as a message of command. A named pipe opened for reading that no
// program writes to yet is waited for, which is said, as OpenInput says it.
class StandardOutputFileSystem final : public FileSystem {
public:
    // Called with the number of lines (LF bytes) written to a result, just before it is put
    // in place: what it throws leaves the result unused and every file as it was.
    using BeforeCommit = std::function<void(std::uint64_t lines)>;

    explicit StandardOutputFileSystem(std::string_view command) : command_(command) {}
    // before_commit is called for the result that replaces target.
    void SetBeforeCommit(const std::string& target, BeforeCommit before_commit) {
        commit_target_ = target;
        before_commit_ = std::move(before_commit);
    }
    bool IsFile(const std::string& path) override { return real_.IsFile(path); }
    std::unique_ptr<InputFile> OpenRead(const std::string& path) override;
    std::uint64_t SizeHint(const std::string& path) noexcept override {
        return real_.SizeHint(path);
    }
    std::unique_ptr<StagedFile> CreateReplacement(const std::string& target) override;

private:
    std::string command_;
    FileSystem& real_ = RealFileSystem();
    std::string commit_target_;
    BeforeCommit before_commit_;
};

}  // namespace haojian::cli
