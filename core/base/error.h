#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace haojian {

// A refused command or a failure of the core's own (an unknown layout, no thread to start).
// what() is the message as GBK bytes, ready for the window's error box.
class Error : public std::runtime_error {
public:
    explicit Error(std::string gbk_message) : std::runtime_error(std::move(gbk_message)) {}
    std::string_view message() const { return what(); }
};

// A failed operation on a file: which one, on which file (the path's bytes, as the user named
// it), the error number (0 when there is none; on Windows the errno value that stands for the
// system's error, which system_code() keeps) and the reason in words, UTF-8: the
// system's text for the number, or a text of our own for a failure without one (a file that
// changed size while it was read, another program writing the target). It says what happened
// and nothing more: each front end words it, in its own encoding. what() is for logs.
class FileError : public std::runtime_error {
public:
    enum class Op { Open, Create, Read, Write, Close, Rename };
    // The reason is the system's text for code.
    FileError(Op op, std::string path, int code);
    FileError(Op op, std::string path, int code, std::string reason);
    // system_code: the number the system itself gave, where it differs from code.
    FileError(Op op, std::string path, int code, std::string reason, int system_code);
    Op op() const { return op_; }
    const std::string& path() const { return path_; }
    int code() const { return code_; }
    // The system's own number for the failure: a Win32 error on Windows, else code.
    int system_code() const { return system_code_; }
    const std::string& reason() const { return reason_; }

private:
    Op op_;
    std::string path_;
    int code_;
    std::string reason_;
    int system_code_;
};

// The reason given for a file that shrank or grew while it was read.
inline constexpr std::string_view kSizeChangedReason = "The file changed size while it was read";

// The system's text for an error number, UTF-8 (from the platform layer).
std::string SystemReason(int code);

}  // namespace haojian
