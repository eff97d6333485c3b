#include "cli/standard_output.h"

#include <unistd.h>

#include <cerrno>

#include "cli/console.h"
#include "cli/messages.h"

namespace haojian::cli {

void StandardOutput::Write(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(STDOUT_FILENO, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            if (errno == EPIPE) OnClosedOutput();
            throw FileError(FileError::Op::Write, std::string(kStandardOutput), errno);
        }
        bytes.remove_prefix(std::size_t(n));
    }
}

void WriteStandardOutput(std::string_view bytes) {
    StandardOutput().Write(bytes);
}

namespace {

// A result of the real file system whose notices are said as they come.
class NoticedFile final : public StagedFile {
public:
    NoticedFile(std::unique_ptr<StagedFile> inner, std::string_view command)
        : inner_(std::move(inner)), command_(command) {
        Say();
    }
    void Write(std::string_view bytes) override { inner_->Write(bytes); }
    void Commit() override {
        inner_->Commit();
        Say();
    }

private:
    void Say() {
        for (const FileNotice& notice : inner_->TakeNotices()) {
            PrintMessage(command_, NoticeText(notice));
        }
    }

    std::unique_ptr<StagedFile> inner_;
    std::string command_;
};

}  // namespace

std::string NoticeText(const FileNotice& notice) {
    const std::string path = QuotedPath(notice.path);
    switch (notice.kind) {
        case FileNotice::Kind::kLeftoverRemoved:
            return "removed " + path + ", a temporary file left by an earlier run that was ended";
        case FileNotice::Kind::kLeftoverKept:
            return "kept " + path +
                   ", a temporary file left by an earlier run that was ended: it may hold the "
                   "only copy of a file";
        case FileNotice::Kind::kOwnerNotKept:
            return path + ": the replaced file's owner could not be kept; the file is now yours";
        case FileNotice::Kind::kGroupNotKept:
            return path + ": the replaced file's group could not be kept";
    }
    return path;
}

std::unique_ptr<StagedFile> StandardOutputFileSystem::CreateReplacement(const std::string& target) {
    if (target == kStandardOutput) return std::make_unique<StandardOutput>();
    return std::make_unique<NoticedFile>(real_.CreateReplacement(target), command_);
}

}  // namespace haojian::cli
