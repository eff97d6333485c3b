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
#include <vector>

#include "tests/cli/child_process.h"

extern char** environ;

namespace haojian::testing {

struct ChildProcess::Platform {
    pid_t pid = -1;
    int fds[3] = {-1, -1, -1};  // this process's ends of standard input, output and error
};

void ChildProcess::Start(const std::string& program, const std::vector<std::string>& args,
                         const std::string& folder, Output output) {
    platform_ = std::make_shared<Platform>();
    int pipes[3][2];
    for (auto& ends : pipes) {
        if (::pipe2(ends, O_CLOEXEC) != 0) throw std::runtime_error("no pipe");
    }
    std::vector<std::string> words = {program};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    for (int fd = 0; fd < 3; ++fd) {
        posix_spawn_file_actions_adddup2(&actions, pipes[fd][fd == 0 ? 0 : 1], fd);
    }
    if (output == Output::kNone) posix_spawn_file_actions_addclose(&actions, 1);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    const int failed =
        ::posix_spawn(&platform_->pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    for (int fd = 0; fd < 3; ++fd) {
        ::close(pipes[fd][fd == 0 ? 0 : 1]);
        platform_->fds[fd] = pipes[fd][fd == 0 ? 1 : 0];
    }
    if (output == Output::kNone) Close(Stream::kOutput);
    if (failed != 0) {
        status_ = -1;
        err_ = "cannot start " + program + "\n";
    }
}

void ChildProcess::Close(Stream stream) {
    int& fd = platform_->fds[int(stream)];
    if (fd >= 0) ::close(fd);
    fd = -1;
}

// A program that stops reading must not end the test with SIGPIPE: the signal is blocked
// while writing and taken back if raised.
void ChildProcess::Write(std::string_view bytes) {
    const int fd = platform_->fds[0];
    sigset_t pipe_signal, before;
    sigemptyset(&pipe_signal);
    sigaddset(&pipe_signal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe_signal, &before);
    while (!bytes.empty() && fd >= 0) {
        const ssize_t put = ::write(fd, bytes.data(), bytes.size());
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

void ChildProcess::ReadUntil(Stream stream, std::string& bytes, std::size_t size,
                             std::chrono::steady_clock::time_point deadline) {
    const int fd = platform_->fds[int(stream)];
    char buffer[65536];
    while (fd >= 0 && bytes.size() < size) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
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

void ChildProcess::Kill() {
    ::kill(platform_->pid, SIGKILL);
}

int ChildProcess::AwaitExit() {
    int status = 0;
    while (::waitpid(platform_->pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace haojian::testing
