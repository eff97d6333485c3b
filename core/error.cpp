#include "error.h"

namespace haojian {

std::string ErrorBoxText(std::string_view gbk_message) {
    std::string text(gbk_message);
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text.push_back('.');
    return text;
}

}  // namespace haojian
