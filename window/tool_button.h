#pragma once

#include <cstddef>
#include <functional>

#include "core/run/query_run.h"
#include "window/window_seams.h"

namespace haojian {

class WindowCommands;

// The tool bar's buttons from left to right (their texts: window_text::kToolButtons).
enum class ToolButton : std::size_t { Import, Query, Stop, Export, Merge, HomePage, About, Exit };
inline constexpr std::size_t kToolButtonCount = std::size_t(ToolButton::Exit) + 1;

// The button of a command that the run or long work enables and disables.
ToolButton ButtonOf(Command command);
ToolButton ButtonOf(WorkCommand command);

// What a button does that only the window can do.
struct WindowOwnActions {
    std::function<void()> show_about;
    std::function<void()> close;  // asks to close, with the question
};

// Runs the command of a pressed button.
void PressToolButton(ToolButton button, WindowCommands& commands, const WindowOwnActions& own);

}  // namespace haojian
