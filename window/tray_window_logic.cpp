#include "window/tray_window_logic.h"

#include <utility>

namespace haojian {

void TrayWindowLogic::N18Click() {
    view_.SetTrayItemEnabled(TrayItem::Hide, false);
    view_.SetTrayItemEnabled(TrayItem::Show, true);
    HideStatistics();
    view_.HideMainWindow();
}

void TrayWindowLogic::N17Click() {
    view_.SetTrayItemEnabled(TrayItem::Show, false);
    view_.SetTrayItemEnabled(TrayItem::Hide, true);
    view_.ShowMainWindow();
    if (std::exchange(statistics_away_, false)) view_.StatisticsComeBack();
}

void TrayWindowLogic::HideStatistics() {
    if (!view_.StatisticsShown()) return;
    statistics_away_ = true;
    view_.HideStatistics();
}

}  // namespace haojian
