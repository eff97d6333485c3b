#include "window/tool_button.h"

#include <array>

#include "window/window_commands.h"

namespace haojian {
namespace {

using Press = void (*)(WindowCommands&, const WindowOwnActions&);

// Indexed by ToolButton.
constexpr std::array<Press, kToolButtonCount> kPresses = {
    [](WindowCommands& c, const WindowOwnActions&) { c.Import(); },
    [](WindowCommands& c, const WindowOwnActions&) { c.Query(); },
    [](WindowCommands& c, const WindowOwnActions&) { c.Stop(); },
    [](WindowCommands& c, const WindowOwnActions&) { c.Export(); },
    [](WindowCommands& c, const WindowOwnActions&) { c.Merge(); },
    [](WindowCommands& c, const WindowOwnActions&) { c.HomePage(); },
    [](WindowCommands&, const WindowOwnActions& own) { own.show_about(); },
    [](WindowCommands&, const WindowOwnActions& own) { own.close(); },
};

}  // namespace

ToolButton ButtonOf(Command command) {
    switch (command) {
        case Command::Import:
            return ToolButton::Import;
        case Command::Query:
            return ToolButton::Query;
        case Command::Stop:
            break;
    }
    return ToolButton::Stop;
}

ToolButton ButtonOf(WorkCommand command) {
    switch (command) {
        case WorkCommand::Export:
            return ToolButton::Export;
        case WorkCommand::Merge:
            return ToolButton::Merge;
        case WorkCommand::HomePage:
            return ToolButton::HomePage;
        case WorkCommand::About:
            return ToolButton::About;
        case WorkCommand::Exit:
            break;
    }
    return ToolButton::Exit;
}

void PressToolButton(ToolButton button, WindowCommands& commands, const WindowOwnActions& own) {
    kPresses.at(std::size_t(button))(commands, own);
}

}  // namespace haojian
