#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <thread>
#include <vector>

#include "tests/cli/child_process.h"

extern char** environ;

namespace haojian::testing {
namespace {

// Both ends of a pipe, closed when the object goes.
struct Pipe {
    int ends[2] = {-1, -1};
    Pipe() {
        if (::pipe2(ends, O_CLOEXEC) != 0) ends[0] = ends[1] = -1;
    }
    ~Pipe() {
        Close(0);
        Close(1);
    }
    void Close(int end) {
        if (ends[end] >= 0) ::close(ends[end]);
        ends[end] = -1;
    }
};

std::string ReadAll(int fd) {
    std::string bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got > 0) {
            bytes.append(buffer, std::size_t(got));
        } else if (got == 0 || errno != EINTR) {
            return bytes;
        }
    }
}

// Writes bytes until the reader goes; a reader that stops early must not end the test with
// SIGPIPE, so the signal is blocked on this thread and taken back if raised.
void WriteAll(int fd, const std::string& bytes) {
    sigset_t pipe_signal;
    sigemptyset(&pipe_signal);
    sigaddset(&pipe_signal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe_signal, nullptr);
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (put > 0) {
            done += std::size_t(put);
        } else if (errno != EINTR) {
            const timespec none{};
            ::sigtimedwait(&pipe_signal, nullptr, &none);
            break;
        }
    }
}

}  // namespace

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::string& folder, const std::string& input) {
    Pipe in, out, err;
    std::vector<std::string> words = {program};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in.ends[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out.ends[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err.ends[1], 2);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    pid_t pid = -1;
    const int failed =
        ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) return {-1, "", "cannot start " + program + "\n"};
    in.Close(0);
    out.Close(1);
    err.Close(1);

    std::thread writer([&] {
        WriteAll(in.ends[1], input);
        in.Close(1);
    });
    std::string err_bytes;
    std::thread err_reader([&] { err_bytes = ReadAll(err.ends[0]); });
    std::string out_bytes = ReadAll(out.ends[0]);
    err_reader.join();
    writer.join();
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, std::move(out_bytes),
            std::move(err_bytes)};
}

}  // namespace haojian::testing
