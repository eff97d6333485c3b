#pragma once

#include <span>
#include <string_view>

#include "window/window_seams.h"

namespace haojian {

// One choice of a file dialog's type list: its name, the pattern of the files it shows ("*.*"
// for every file, which a dialog whose names need no dot shows as "*"), and the suffix a typed
// name gets while it is selected (empty: the dialog's default suffix).
struct FileFilter {
    std::u16string_view name;
    std::u16string_view pattern;
    std::u16string_view suffix;
};

// The type list of a dialog, the first selected. Each shows as "name(pattern)".
std::span<const FileFilter> FileFilters(FileChoice::Filters filters);

}  // namespace haojian
