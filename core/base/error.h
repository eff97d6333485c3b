#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace haojian {

// A refused command or a failed operation. what() is the message as GBK bytes, ready for the
// application's error box.
class Error : public std::runtime_error {
public:
    explicit Error(std::string gbk_message) : std::runtime_error(std::move(gbk_message)) {}
    std::string_view message() const { return what(); }
};

// A failed file operation. The message is what the error box shows; the file concerned (as the
// user named it), the system's error number (0 when there is none) and the reason in words let
// a caller say more.
class FileOperationError : public Error {
public:
    // The reason is the system's text for code (none for 0).
    FileOperationError(std::string gbk_message, std::string path, int code);
    FileOperationError(std::string gbk_message, std::string path, int code, std::string gbk_reason)
        : Error(std::move(gbk_message)),
          path_(std::move(path)),
          code_(code),
          reason_(std::move(gbk_reason)) {}
    const std::string& path() const { return path_; }
    int code() const { return code_; }
    // GBK, like the message; empty when there is none.
    const std::string& reason() const { return reason_; }

private:
    std::string path_;
    int code_;
    std::string reason_;
};

// The message for any failure: an Error's own, "Out of memory" for a failed allocation, else
// what() (GBK).
std::string FailureMessage(const std::exception& failure);

// The text an error box shows: a "." is added when the last byte sorts after "." in byte order,
// so every message ending in a double-byte character gets one.
std::string ErrorBoxText(std::string_view gbk_message);

}  // namespace haojian
