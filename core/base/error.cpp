#include "core/base/error.h"

#include <new>

#include "core/files/file_system.h"

namespace haojian {

FileOperationError::FileOperationError(std::string gbk_message, std::string path, int code)
    : FileOperationError(std::move(gbk_message), std::move(path), code,
                         code == 0 ? std::string() : ReasonForMessage(code)) {}

std::string FailureMessage(const std::exception& failure) {
    if (const auto* error = dynamic_cast<const Error*>(&failure))
        return std::string(error->message());
    if (dynamic_cast<const std::bad_alloc*>(&failure)) return "Out of memory";
    return failure.what();
}

std::string ErrorBoxText(std::string_view gbk_message) {
    std::string text(gbk_message);
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text.push_back('.');
    return text;
}

}  // namespace haojian
