#include "error.h"

#include "file_system.h"

namespace haojian {

FileOperationError::FileOperationError(std::string gbk_message, std::string path, int code)
    : FileOperationError(std::move(gbk_message), std::move(path), code,
                         code == 0 ? std::string() : ReasonForMessage(code)) {}

std::string ErrorBoxText(std::string_view gbk_message) {
    std::string text(gbk_message);
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text.push_back('.');
    return text;
}

}  // namespace haojian
