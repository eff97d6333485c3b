#pragma once

#include <windows.h>

#include <optional>

#include "window/split_export_choice.h"

namespace haojian::win32 {

// Control identifiers of the split export's dialog, for tests that answer it: the field's
// radio buttons (in the order of SplitField), then what the rows go into (in the order of
// SplitExportChoice::Into).
enum SplitExportDialogId : int {
    kIdSplitFirstField = 1201,
    kIdSplitFirstInto = 1211,
};

// 分类导出's dialog, modal over owner: which field parts the rows and what they go into, with
// OK and Cancel; proposed chosen at first. None when cancelled.
std::optional<SplitExportChoice> ChooseSplitExport(HWND owner, const SplitExportChoice& proposed);

}  // namespace haojian::win32
