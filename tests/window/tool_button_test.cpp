// The tool bar's buttons as both windows number them: the enum, the texts and the commands
// that enable and disable them must name the same button.
#include "window/tool_button.h"

#include <gtest/gtest.h>

#include "window/main_window_texts.h"

namespace haojian {
namespace {

std::string_view NameOf(ToolButton button) {
    return window_text::kToolButtons.at(std::size_t(button)).name;
}

TEST(ToolButton, CommandsNameTheirDesignerButtons) {
    ASSERT_EQ(window_text::kToolButtons.size(), kToolButtonCount);
    EXPECT_EQ(NameOf(ButtonOf(Command::Import)), "SpeedButton4");
    EXPECT_EQ(NameOf(ButtonOf(Command::Query)), "SpeedButton2");
    EXPECT_EQ(NameOf(ButtonOf(Command::Stop)), "SpeedButton3");
    EXPECT_EQ(NameOf(ButtonOf(WorkCommand::Export)), "SpeedButton5");
    EXPECT_EQ(NameOf(ButtonOf(WorkCommand::Merge)), "SpeedButton1");
    EXPECT_EQ(NameOf(ButtonOf(WorkCommand::Exit)), "SpeedButton10");
    EXPECT_EQ(NameOf(ButtonOf(WorkCommand::HomePage)), "SpeedButton6");
    EXPECT_EQ(NameOf(ButtonOf(WorkCommand::About)), "SpeedButton9");
}

}  // namespace
}  // namespace haojian
