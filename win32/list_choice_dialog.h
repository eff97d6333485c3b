#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>

#include "window/window_seams.h"

namespace haojian::win32 {

// The list dialog's controls, found by these ids: the list (a report list view) and the prompt
// above it; its buttons are IDOK ("确定", the default: Enter) and IDCANCEL ("取消", Escape).
inline constexpr int kChoiceListId = 600;
inline constexpr int kChoicePromptId = 601;

// Shows the rows of choice in a small modal dialog owned by owner, sized to its content, the
// preselected row selected; the row taken, nothing when cancelled.
std::optional<std::size_t> ChooseFromListDialog(HWND owner, const ListChoice& choice);

}  // namespace haojian::win32
