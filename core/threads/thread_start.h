#pragma once

#include <string>
#include <system_error>
#include <thread>
#include <utility>

#include "core/base/error.h"
#include "core/threads/termination_signals_blocked.h"

namespace haojian {

// The system refused a new thread (too many threads or processes, as under `ulimit -u`).
// The message is the window's, GBK: "Cannot start a thread. <reason>"; the system's reason is
// also kept in UTF-8.
class ThreadStartError : public Error {
public:
    explicit ThreadStartError(int code);
    int code() const { return code_; }
    const std::string& reason() const { return reason_; }

private:
    ThreadStartError(int code, std::string reason);

    int code_;
    std::string reason_;
};

// Throws ThreadStartError when thread starts are refused for a test (see ThreadStartsRefused).
void CheckThreadStart();

// Every thread of the core starts here, with the signals that end the program held back (see
// TerminationSignalsBlocked). Throws ThreadStartError, never std::system_error.
template <class Body>
std::jthread StartThread(Body&& body) {
    CheckThreadStart();
    const TerminationSignalsBlocked inherited;
    try {
        return std::jthread(std::forward<Body>(body));
    } catch (const std::system_error& e) {
        throw ThreadStartError(e.code().value());
    }
}

// For tests: while one is alive, StartThread fails as on a system without a free thread.
class ThreadStartsRefused {
public:
    ThreadStartsRefused();
    ~ThreadStartsRefused();
    ThreadStartsRefused(const ThreadStartsRefused&) = delete;
    ThreadStartsRefused& operator=(const ThreadStartsRefused&) = delete;
};

}  // namespace haojian
