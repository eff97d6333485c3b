#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "tests/cli/child_process.h"

extern char** environ;

namespace haojian::testing {
namespace {

using Clock = std::chrono::steady_clock;
constexpr Clock::time_point kNoDeadline = Clock::time_point::max();

void Close(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

// Reads from fd until size bytes are in bytes, the pipe ends or the deadline passes.
void ReadUntil(int fd, std::string& bytes, std::size_t size, Clock::time_point deadline) {
    char buffer[65536];
    while (fd >= 0 && bytes.size() < size) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd ready{fd, POLLIN, 0};
        if (left.count() <= 0 ||
            ::poll(&ready, 1, int(std::min<long long>(left.count(), 1 << 30))) == 0) {
            return;
        }
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got > 0) {
            bytes.append(buffer, std::size_t(got));
        } else if (got == 0 || errno != EINTR) {
            return;
        }
    }
}

}  // namespace

struct ChildProcess::Impl {
    pid_t pid = -1;
    int in = -1;
    int out = -1;
    int err = -1;
    std::string out_bytes;
    std::string err_bytes;
    std::thread err_reader;
    bool ended = false;
    int status = 0;
};

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& args,
                           const std::string& folder)
    : impl_(std::make_unique<Impl>()) {
    int in[2], out[2], err[2];
    if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0 ||
        ::pipe2(err, O_CLOEXEC) != 0) {
        throw std::runtime_error("no pipes");
    }
    std::vector<std::string> words = {program};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    const int failed =
        ::posix_spawn(&impl_->pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    for (int fd : {in[0], out[1], err[1]}) ::close(fd);
    impl_->in = in[1];
    impl_->out = out[0];
    impl_->err = err[0];
    if (failed != 0) {
        impl_->ended = true;
        impl_->status = -1;
        impl_->err_bytes = "cannot start " + program + "\n";
        Close(impl_->err);
    }
    impl_->err_reader = std::thread([impl = impl_.get()] {
        ReadUntil(impl->err, impl->err_bytes, std::string::npos, kNoDeadline);
    });
}

ChildProcess::~ChildProcess() {
    if (!impl_->ended) ::kill(impl_->pid, SIGKILL);
    Wait();
}

// A program that stops reading must not end the test with SIGPIPE: the signal is blocked
// while writing and taken back if raised.
void ChildProcess::Write(std::string_view bytes) {
    sigset_t pipe_signal, before;
    sigemptyset(&pipe_signal);
    sigaddset(&pipe_signal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe_signal, &before);
    while (!bytes.empty() && impl_->in >= 0) {
        const ssize_t put = ::write(impl_->in, bytes.data(), bytes.size());
        if (put > 0) {
            bytes.remove_prefix(std::size_t(put));
        } else if (errno != EINTR) {
            const timespec none{};
            ::sigtimedwait(&pipe_signal, nullptr, &none);
            break;
        }
    }
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
}

void ChildProcess::CloseInput() {
    Close(impl_->in);
}

const std::string& ChildProcess::ReadOutput(std::size_t size) {
    ReadUntil(impl_->out, impl_->out_bytes, size, Clock::now() + kOutputWait);
    return impl_->out_bytes;
}

void ChildProcess::CloseOutput() {
    Close(impl_->out);
}

ProcessResult ChildProcess::Wait() {
    CloseInput();
    ReadUntil(impl_->out, impl_->out_bytes, std::string::npos, kNoDeadline);
    Close(impl_->out);
    if (impl_->err_reader.joinable()) impl_->err_reader.join();
    Close(impl_->err);
    if (!impl_->ended) {
        while (::waitpid(impl_->pid, &impl_->status, 0) < 0 && errno == EINTR) {
        }
        impl_->ended = true;
        impl_->status = WIFEXITED(impl_->status) ? WEXITSTATUS(impl_->status) : -1;
    }
    return {impl_->status, impl_->out_bytes, impl_->err_bytes};
}

}  // namespace haojian::testing
