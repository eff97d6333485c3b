#include "window/taskbar_icon_logic.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace haojian {
namespace {

// A notification area that holds icons by identifier and refuses what Windows' refuses, and
// records every step the logic asks for.
class FakeTray final : public TaskbarIconPlatform {
public:
    TaskbarIconLogic* icon = nullptr;
    std::set<int> held;
    bool area_present = true;
    std::vector<std::string> steps;
    // Runs inside a step, as a handler that ends the window would.
    std::function<void()> on_click, on_mouse_up;

    bool NotifyIcon(NotifyIconCommand command) override {
        const int id = icon->IconID();
        const char* names[] = {"add", "modify", "delete"};
        steps.push_back(std::string(names[int(command)]) + " " + std::to_string(id) + " flags " +
                        std::to_string(icon->IconFlags()));
        if (!area_present) return false;
        switch (command) {
            case NotifyIconCommand::Add:
                return held.insert(id).second;
            case NotifyIconCommand::Modify:
                return held.count(id) == 1;
            case NotifyIconCommand::Delete:
                return held.erase(id) == 1;
        }
        return false;
    }
    void MouseDown(TrayButton button) override {
        steps.push_back(button == TrayButton::Left ? "down" : "rdown");
    }
    void MouseUp(TrayButton button) override {
        steps.push_back(button == TrayButton::Left ? "up" : "rup");
        if (on_mouse_up) on_mouse_up();
    }
    void Click() override {
        steps.push_back("click");
        if (on_click) on_click();
    }
    void DblClick() override { steps.push_back("dblclick"); }
    void PopupAtCursor() override { steps.push_back("popup"); }
    void Shown() override { steps.push_back("shown"); }
    void Hidden() override { steps.push_back("hidden"); }
};

using Steps = std::vector<std::string>;

struct Icon {
    FakeTray tray;
    std::unique_ptr<TaskbarIconLogic> logic = std::make_unique<TaskbarIconLogic>(tray);
    Icon() { tray.icon = logic.get(); }
    void Mouse(std::initializer_list<unsigned> messages) {
        for (unsigned m : messages) logic->Mouse(m);
    }
};

TEST(TaskbarIconLogic, EntersWhenVisibleAndLeavesWhenHiddenUnderItsOwnIdentifier) {
    Icon icon;
    icon.logic->SetIconID(3);  // hidden: nothing to remove or add
    EXPECT_TRUE(icon.tray.steps.empty());
    EXPECT_FALSE(icon.logic->Docked());

    icon.logic->SetVisible(true);
    icon.logic->Loaded();  // the second add is refused; the icon stays docked
    EXPECT_EQ(icon.tray.steps, (Steps{"add 3 flags 7", "shown", "add 3 flags 7", "shown"}));
    EXPECT_TRUE(icon.logic->Docked());

    icon.tray.steps.clear();
    icon.logic->SetIconID(9);
    EXPECT_EQ(icon.tray.steps, (Steps{"delete 3 flags 5", "hidden", "add 9 flags 7", "shown"}));
    EXPECT_EQ(icon.tray.held, (std::set<int>{9}));

    icon.tray.steps.clear();
    icon.logic->SetVisible(true);  // unchanged
    EXPECT_TRUE(icon.tray.steps.empty());
    icon.logic->SetVisible(false);
    EXPECT_EQ(icon.tray.steps, (Steps{"delete 9 flags 5", "hidden"}));
    EXPECT_FALSE(icon.logic->Docked());

    // Without a notification area the icon is visible but has no tray to hide a window in.
    Icon lonely;
    lonely.tray.area_present = false;
    lonely.logic->SetVisible(true);
    EXPECT_TRUE(lonely.logic->Visible());
    EXPECT_FALSE(lonely.logic->Docked());
}

TEST(TaskbarIconLogic, ClicksDoubleClicksMenusAndADisabledIcon) {
    Icon icon;
    icon.logic->SetVisible(true);
    icon.tray.steps.clear();
    icon.Mouse({message::kLeftButtonDown, message::kLeftButtonUp, message::kLeftButtonDoubleClick,
                message::kLeftButtonUp});
    EXPECT_EQ(icon.tray.steps, (Steps{"down", "up", "click", "dblclick", "up"}));

    icon.tray.steps.clear();
    icon.Mouse({512, message::kMiddleButtonDown, message::kMiddleButtonUp,
                message::kRightButtonDown, message::kRightButtonUp});
    EXPECT_EQ(icon.tray.steps, (Steps{"rdown", "popup", "rup"}));

    // A disabled icon hands every message on, and the press it ignored is not remembered.
    icon.tray.steps.clear();
    icon.logic->SetEnabled(false);
    EXPECT_FALSE(icon.logic->Mouse(message::kLeftButtonDown));
    icon.logic->SetEnabled(true);
    EXPECT_TRUE(icon.logic->Mouse(message::kLeftButtonUp));
    EXPECT_EQ(icon.tray.steps, (Steps{"up"}));
}

TEST(TaskbarIconLogic, AStepThatEndsTheIconTouchesNothingAfter) {
    // Run under the address sanitizer, a touch of the ended logic fails here.
    Icon icon;
    icon.logic->SetVisible(true);
    icon.tray.on_click = [&] { icon.logic.reset(); };
    icon.Mouse({message::kLeftButtonDown});
    icon.logic->Mouse(message::kLeftButtonUp);
    EXPECT_EQ(icon.tray.steps.back(), "click");

    Icon other;
    other.tray.on_mouse_up = [&] { other.logic.reset(); };
    other.Mouse({message::kLeftButtonDown});
    other.logic->Mouse(message::kLeftButtonUp);
    EXPECT_EQ(other.tray.steps, (Steps{"down", "up"}));
}

TEST(TaskbarIconLogic, ARestartedAreaGetsTheShownIconBack) {
    Icon icon;
    icon.logic->SetVisible(true);

    // The area restarted and holds nothing.
    icon.tray.held.clear();
    icon.tray.steps.clear();
    icon.logic->AreaRestarted();
    EXPECT_EQ(icon.tray.steps, (Steps{"add 0 flags 7"}));
    EXPECT_TRUE(icon.logic->Docked());

    // Another program broadcast the news: the area still holds the icon and keeps it.
    icon.tray.steps.clear();
    icon.logic->AreaRestarted();
    EXPECT_EQ(icon.tray.steps, (Steps{"add 0 flags 7", "modify 0 flags 7"}));
    EXPECT_TRUE(icon.logic->Docked());

    // The area is gone: no tray to hide in.
    icon.tray.area_present = false;
    icon.logic->AreaRestarted();
    EXPECT_FALSE(icon.logic->Docked());

    // A hidden icon stays out.
    icon.tray.area_present = true;
    icon.logic->SetVisible(false);
    icon.tray.steps.clear();
    icon.logic->AreaRestarted();
    EXPECT_TRUE(icon.tray.steps.empty());
}

TEST(TaskbarIconLogic, HintKeeps63BytesAndNoHalfCharacter) {
    Icon icon;
    icon.logic->SetHint(std::string(70, 'h'));
    EXPECT_EQ(icon.logic->Hint(), std::string(63, 'h'));
    const std::string halved = std::string(62, 'h') + "\xD6\xD0" + "tail";  // 中
    icon.logic->SetHint(halved);
    EXPECT_EQ(icon.logic->Hint(), std::string(62, 'h'));
    const std::string fits = std::string(61, 'h') + "\xD6\xD0" + "tail";
    icon.logic->SetHint(fits);
    EXPECT_EQ(icon.logic->Hint(), fits.substr(0, 63));
    EXPECT_EQ(icon.tray.steps.back(), "modify 0 flags 5");
}

}  // namespace
}  // namespace haojian
