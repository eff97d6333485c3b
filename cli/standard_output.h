#pragma once

#include <cstdint>
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
// said on standard error as a message of command.
class StandardOutputFileSystem final : public FileSystem {
public:
    explicit StandardOutputFileSystem(std::string_view command) : command_(command) {}
    bool IsFile(const std::string& path) override { return real_.IsFile(path); }
    std::unique_ptr<InputFile> OpenRead(const std::string& path) override {
        return real_.OpenRead(path);
    }
    std::uint64_t SizeHint(const std::string& path) noexcept override {
        return real_.SizeHint(path);
    }
    std::unique_ptr<StagedFile> CreateReplacement(const std::string& target) override;

private:
    std::string command_;
    FileSystem& real_ = RealFileSystem();
};

}  // namespace haojian::cli
