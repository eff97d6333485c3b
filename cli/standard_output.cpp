#include "cli/standard_output.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

#include "cli/console.h"
#include "cli/input_reading.h"
#include "cli/messages.h"
#include "cli/pipe_reader_wait.h"

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

// A result whose notices are said as they come, and whose lines are counted for what is to
// be done before it is put in place.
class NoticedFile final : public StagedFile {
public:
    NoticedFile(std::unique_ptr<StagedFile> inner, std::string_view command,
                StandardOutputFileSystem::BeforeCommit before_commit, std::string target = {})
        : inner_(std::move(inner)),
          command_(command),
          before_commit_(std::move(before_commit)),
          target_(std::move(target)) {
        Say();
    }
    void Write(std::string_view bytes) override {
        if (before_commit_) lines_ += std::uint64_t(std::count(bytes.begin(), bytes.end(), '\n'));
        Use([&] { inner_->Write(bytes); });
    }
    void Commit() override {
        if (before_commit_) std::exchange(before_commit_, {})(lines_);
        Use([&] { inner_->Commit(); });
        Say();
    }

private:
    // The file is made on its first use, which may wait for a named pipe's reader: told.
    template <class Action>
    void Use(const Action& action) {
        if (used_) return action();
        const PipeReaderWait wait(target_, [&] {
            PrintMessage(command_,
                         "waiting for " + QuotedPath(target_) + " (a named pipe) to be read from");
        });
        action();
        used_ = true;
    }
    void Say() {
        for (const FileNotice& notice : inner_->TakeNotices()) {
            PrintMessage(command_, NoticeText(notice));
        }
    }

    std::unique_ptr<StagedFile> inner_;
    std::string command_;
    StandardOutputFileSystem::BeforeCommit before_commit_;
    std::string target_;  // empty for standard output
    std::uint64_t lines_ = 0;
    bool used_ = false;
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

std::unique_ptr<InputFile> StandardOutputFileSystem::OpenRead(const std::string& path) {
    return OpenInput(command_, path);
}

std::unique_ptr<StagedFile> StandardOutputFileSystem::CreateReplacement(const std::string& target) {
    BeforeCommit before_commit = target == commit_target_ ? before_commit_ : BeforeCommit();
    if (target == kStandardOutput) {
        return std::make_unique<NoticedFile>(std::make_unique<StandardOutput>(), command_,
                                             std::move(before_commit));
    }
    return std::make_unique<NoticedFile>(real_.CreateReplacement(target), command_,
                                         std::move(before_commit), target);
}

}  // namespace haojian::cli
