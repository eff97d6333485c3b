#include "window/tray_window_logic.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace haojian {
namespace {

class FakeTrayWindow final : public TrayWindowView {
public:
    bool statistics_open = false;
    bool show_enabled = false, hide_enabled = true;
    std::vector<std::string> steps;

    void SetTrayItemEnabled(TrayItem item, bool enabled) override {
        (item == TrayItem::Show ? show_enabled : hide_enabled) = enabled;
    }
    void HideMainWindow() override { steps.push_back("hide main"); }
    void ShowMainWindow() override { steps.push_back("show main"); }
    bool StatisticsShown() const override { return statistics_open; }
    void HideStatistics() override {
        statistics_open = false;
        steps.push_back("hide statistics");
    }
    void StatisticsComeBack() override {
        statistics_open = true;
        steps.push_back("statistics back");
    }
};

using Steps = std::vector<std::string>;

TEST(TrayWindowLogic, OneItemEnabledAndTheStatisticsGoAndComeBackWithTheWindow) {
    FakeTrayWindow window;
    TrayWindowLogic tray(window);
    window.statistics_open = true;
    tray.N18Click();
    EXPECT_TRUE(window.show_enabled);
    EXPECT_FALSE(window.hide_enabled);
    EXPECT_EQ(window.steps, (Steps{"hide statistics", "hide main"}));

    window.steps.clear();
    tray.N17Click();
    EXPECT_FALSE(window.show_enabled);
    EXPECT_TRUE(window.hide_enabled);
    // Raised after the main window, so that it stands in front of it.
    EXPECT_EQ(window.steps, (Steps{"show main", "statistics back"}));

    // A second show, and a trip with the statistics closed, bring no statistics back.
    window.steps.clear();
    tray.N17Click();
    window.statistics_open = false;
    tray.N18Click();
    tray.N17Click();
    EXPECT_EQ(window.steps, (Steps{"show main", "hide main", "show main"}));

    // Minimised without a tray: the statistics leave, and come back with the window.
    window.steps.clear();
    window.statistics_open = true;
    tray.HideStatistics();
    tray.N17Click();
    EXPECT_EQ(window.steps, (Steps{"hide statistics", "show main", "statistics back"}));
}

}  // namespace
}  // namespace haojian
