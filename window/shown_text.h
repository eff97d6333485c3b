#pragma once

#include <string>
#include <string_view>

namespace haojian {

// A text of the result list as the list shows it: at most its first kShownBytes bytes and "…".
// A list lays out what it is given at every repaint, and a line of megabytes would make each
// repaint cost seconds. Export and copy read the rows themselves and take the whole text.
inline constexpr std::size_t kShownBytes = 512;
std::u16string ShownText(std::string_view gbk);

}  // namespace haojian
