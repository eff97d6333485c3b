#include "faulty_file_system.h"

#include <algorithm>
#include <filesystem>

namespace haojian::testing {
namespace {

class FaultyInput final : public InputFile {
public:
    FaultyInput(FaultyFileSystem& fs, std::unique_ptr<InputFile> inner, std::string path)
        : fs_(fs), inner_(std::move(inner)), path_(std::move(path)) {}
    std::size_t Read(char* buffer, std::size_t size) override {
        if (fs_.Fails(FaultyFileSystem::Op::Read, path_)) {
            if (fs_.fail_code() == 0) return 0;
            throw FileError(FileError::Op::Read, path_, fs_.fail_code());
        }
        return inner_->Read(buffer, size);
    }
    std::uint64_t Size() const override { return inner_->Size(); }

private:
    FaultyFileSystem& fs_;
    std::unique_ptr<InputFile> inner_;
    std::string path_;
};

class FaultyOutput final : public OutputFile {
public:
    FaultyOutput(FaultyFileSystem& fs, std::unique_ptr<OutputFile> inner, std::string path)
        : fs_(fs), inner_(std::move(inner)), path_(std::move(path)) {}
    void Write(std::string_view bytes) override {
        if (fs_.Fails(FaultyFileSystem::Op::Write)) {
            throw FileError(FileError::Op::Write, path_, fs_.fail_code());
        }
        inner_->Write(bytes);
    }
    void Close() override {
        if (fs_.Fails(FaultyFileSystem::Op::Close)) {
            throw FileError(FileError::Op::Close, path_, fs_.fail_code());
        }
        inner_->Close();
    }

private:
    FaultyFileSystem& fs_;
    std::unique_ptr<OutputFile> inner_;
    std::string path_;
};

}  // namespace

bool FaultyFileSystem::Fails(Op op, const std::string& path) {
    const int n = ++calls_[std::size_t(op)];
    if (op == Op::Read && n == resize_nth_) std::filesystem::resize_file(path, resize_to_);
    return op == fail_op_ && n == fail_nth_;
}

std::unique_ptr<InputFile> FaultyFileSystem::OpenRead(const std::string& path) {
    if (Fails(Op::Open)) throw FileError(FileError::Op::Open, path, fail_code_);
    return std::make_unique<FaultyInput>(*this, inner_.OpenRead(path), path);
}

std::unique_ptr<OutputFile> FaultyFileSystem::Create(const std::string& path) {
    if (Fails(Op::Create)) throw FileError(FileError::Op::Create, path, fail_code_);
    return Wrap(inner_.Create(path), path);
}

std::unique_ptr<OutputFile> FaultyFileSystem::CreateTemporary(const std::string& directory,
                                                              std::string* created_path) {
    if (Fails(Op::Create)) throw FileError(FileError::Op::Create, directory, fail_code_);
    std::unique_ptr<OutputFile> file = inner_.CreateTemporary(directory, created_path);
    return Wrap(std::move(file), *created_path);
}

std::unique_ptr<OutputFile> FaultyFileSystem::CreateReplacement(const std::string& target,
                                                                std::string* temporary,
                                                                std::string* final_path) {
    if (Fails(Op::Create)) throw FileError(FileError::Op::Create, target, fail_code_);
    std::unique_ptr<OutputFile> file = inner_.CreateReplacement(target, temporary, final_path);
    return Wrap(std::move(file), temporary->empty() ? target : *temporary);
}

void FaultyFileSystem::Rename(const std::string& from, const std::string& to) {
    if (Fails(Op::Rename)) throw FileError(FileError::Op::Rename, to, fail_code_);
    inner_.Rename(from, to);
}

std::unique_ptr<OutputFile> FaultyFileSystem::Wrap(std::unique_ptr<OutputFile> file,
                                                   const std::string& path) {
    return std::make_unique<FaultyOutput>(*this, std::move(file), path);
}

std::vector<std::string> FileNames(const std::string& directory) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(directory)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace haojian::testing
