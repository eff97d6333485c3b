#pragma once

namespace haojian {

// While one lives, the calling thread holds back the signals that end the program (SIGINT,
// SIGTERM, SIGHUP on Linux; Windows has none to hold), and every thread it starts inherits
// that. StartThread starts each thread so: the thread that began the program is then the one
// place that takes them, and a thread that must not be cut short can hold them for the whole
// process by holding them in itself. Platform code.
class TerminationSignalsBlocked {
public:
    TerminationSignalsBlocked() noexcept;
    ~TerminationSignalsBlocked();
    TerminationSignalsBlocked(const TerminationSignalsBlocked&) = delete;
    TerminationSignalsBlocked& operator=(const TerminationSignalsBlocked&) = delete;

private:
    // The mask to restore (a sigset_t on Linux).
    alignas(8) unsigned char old_[128];
};

}  // namespace haojian
