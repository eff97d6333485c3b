#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "file_system.h"

namespace haojian::cli {

// Writes to standard output, as it is; errors name "standard output".
class StandardOutput final : public OutputFile {
public:
    void Write(std::string_view bytes) override;
    void Close() override {}
};

// The real file system, except that the result meant for standard output (kStandardOutput) is
// written straight to it: never a file renamed over whatever standard output is, nor reopened
// from its start.
class StandardOutputFileSystem final : public FileSystem {
public:
    bool IsFile(const std::string& path) override { return real_.IsFile(path); }
    std::unique_ptr<InputFile> OpenRead(const std::string& path) override {
        return real_.OpenRead(path);
    }
    std::uint64_t SizeHint(const std::string& path) noexcept override {
        return real_.SizeHint(path);
    }
    std::unique_ptr<OutputFile> Create(const std::string& path) override;
    std::unique_ptr<OutputFile> CreateTemporary(const std::string& directory,
                                                std::string* created_path) override {
        return real_.CreateTemporary(directory, created_path);
    }
    std::unique_ptr<OutputFile> CreateReplacement(const std::string& target, std::string* temporary,
                                                  std::string* final_path) override;
    void Rename(const std::string& from, const std::string& to) override { real_.Rename(from, to); }
    void Remove(const std::string& path) noexcept override { real_.Remove(path); }

private:
    FileSystem& real_ = RealFileSystem();
};

}  // namespace haojian::cli
