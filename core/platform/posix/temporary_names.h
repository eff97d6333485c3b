#pragma once

#include <signal.h>

#include <string>
#include <string_view>
#include <vector>

namespace haojian {

// The named temporary files that exist while a result is being written (where the file system
// has no unnamed ones), in a fixed table that a signal handler may read, so that a program
// ended by SIGINT, SIGTERM or SIGHUP can remove them first. Unnamed temporary files vanish
// with the process by themselves and are never noted here.
namespace temporary_names {

// ".haojian-" and six random letters or digits.
std::string MakeName();
// True for a name that MakeName could have given.
bool IsName(std::string_view name) noexcept;

// Removes from the folder open as folder_fd the temporary files that earlier runs left there
// when they were killed: names of MakeName, regular files of this process's user with a single
// link, last changed before this process started, and locked by no one (every temporary file is
// locked with flock while its writer lives). Gives the names removed.
std::vector<std::string> RemoveLeftovers(int folder_fd);

// Notes name (no slash) in the folder open as dir_fd, which must stay open until Forget. Gives
// the slot for Forget, or -1 when the table is full or name too long (it is then left to the
// caller alone).
int Note(int dir_fd, std::string_view name) noexcept;
// The name of slot is gone or has been given its final name; -1 is ignored.
void Forget(int slot) noexcept;
// Removes every noted file. Async-signal-safe: for signal handlers.
void RemoveAll() noexcept;

// The signals after which RemoveAll is due.
inline constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

// For the handler of kSignals: true while a TerminationDeferred lives, the signal then being
// noted, and taken (after RemoveAll, with its default action) when the last one goes.
// Async-signal-safe.
bool DeferTermination(int signal) noexcept;

// Lets a step that must not be cut short (the rewriting of a file in place) finish before a
// termination signal ends the program.
class TerminationDeferred {
public:
    TerminationDeferred() noexcept;
    ~TerminationDeferred();
    TerminationDeferred(const TerminationDeferred&) = delete;
    TerminationDeferred& operator=(const TerminationDeferred&) = delete;
};

// Holds back kSignals for the whole process while alive, so that a handler never runs between
// the making of a name and its noting, or between its renaming and its forgetting: the calling
// thread blocks them, and a handler that runs meanwhile in another thread defers the signal as
// for a TerminationDeferred.
class SignalsHeld {
public:
    SignalsHeld() noexcept;
    ~SignalsHeld();
    SignalsHeld(const SignalsHeld&) = delete;
    SignalsHeld& operator=(const SignalsHeld&) = delete;

private:
    sigset_t old_;
    TerminationDeferred deferred_;
};

}  // namespace temporary_names
}  // namespace haojian
