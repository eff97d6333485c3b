#include "tests/support/faulty_file_system.h"

#include <algorithm>
#include <filesystem>

#include "core/files/temporary_file.h"

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

class FaultyStaged final : public StagedFile {
public:
    FaultyStaged(FaultyFileSystem& fs, std::unique_ptr<StagedFile> inner, std::string path)
        : fs_(fs), inner_(std::move(inner)), path_(std::move(path)) {}
    void Write(std::string_view bytes) override {
        if (fs_.Fails(FaultyFileSystem::Op::Write)) {
            throw FileError(FileError::Op::Write, path_, fs_.fail_code());
        }
        inner_->Write(bytes);
    }
    void Commit() override {
        if (fs_.Fails(FaultyFileSystem::Op::Close)) {
            throw FileError(FileError::Op::Close, path_, fs_.fail_code());
        }
        if (fs_.Fails(FaultyFileSystem::Op::Rename)) {
            throw FileError(FileError::Op::Rename, path_, fs_.fail_code());
        }
        inner_->Commit();
    }
    std::vector<FileNotice> TakeNotices() override { return inner_->TakeNotices(); }

private:
    FaultyFileSystem& fs_;
    std::unique_ptr<StagedFile> inner_;
    std::string path_;
};

class FaultyTemporary final : public TemporaryFile {
public:
    FaultyTemporary(FaultyFileSystem& fs, std::unique_ptr<TemporaryFile> inner, std::string folder)
        : fs_(fs), inner_(std::move(inner)), folder_(std::move(folder)) {}
    void Write(std::string_view bytes) override {
        if (fs_.Fails(FaultyFileSystem::Op::TempWrite)) {
            throw TemporaryFolderError(FileError::Op::Write, folder_, fs_.fail_code());
        }
        inner_->Write(bytes);
    }
    std::size_t ReadAt(std::uint64_t offset, char* buffer, std::size_t size) override {
        if (fs_.Fails(FaultyFileSystem::Op::TempRead)) {
            throw TemporaryFolderError(FileError::Op::Read, folder_, fs_.fail_code());
        }
        return inner_->ReadAt(offset, buffer, size);
    }

private:
    FaultyFileSystem& fs_;
    std::unique_ptr<TemporaryFile> inner_;
    std::string folder_;
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

std::unique_ptr<StagedFile> FaultyFileSystem::CreateReplacement(const std::string& target) {
    if (Fails(Op::Create)) throw FileError(FileError::Op::Create, target, fail_code_);
    return std::make_unique<FaultyStaged>(*this, inner_.CreateReplacement(target), target);
}

std::unique_ptr<TemporaryFile> FaultyFileSystem::CreateTemporary(const std::string& folder) {
    if (Fails(Op::TempCreate))
        throw TemporaryFolderError(FileError::Op::Create, folder, fail_code_);
    return std::make_unique<FaultyTemporary>(*this, inner_.CreateTemporary(folder), folder);
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
