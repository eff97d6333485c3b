// What the commands and the run show in the main window (WindowView).
#include "win32/main_window.h"

#include <commctrl.h>

#include <algorithm>

#include "win32/graphic_controls.h"
#include "win32/result_list_view.h"
#include "win32/wide_text.h"

namespace haojian::win32 {

void TForm1::RowsAppended(std::size_t first, std::size_t count) {
    list_->Appended(first, count);
}

void TForm1::RowsCleared() {
    list_->Cleared();
}

void TForm1::SetPanelText(int panel, std::string_view gbk_text) {
    std::wstring text = WideFromGbk(gbk_text);
    // The last panel's text stands centred. What it says (stopped, complete) holds for every
    // row appended before.
    if (panel == kPanelStatus) {
        text.insert(0, L"\t");
        if (list_) list_->ShowWaitingRows();
    }
    SendMessageW(status_, SB_SETTEXTW, WPARAM(panel), reinterpret_cast<LPARAM>(text.c_str()));
}

void TForm1::SetProgressMaximum(int maximum) {
    progress_maximum_ = maximum;
    SendMessageW(progress_, PBM_SETRANGE32, 0, maximum);
}

void TForm1::SetProgressPosition(int position) {
    SendMessageW(progress_, PBM_SETPOS, WPARAM(std::clamp(position, 0, progress_maximum_)), 0);
}

void TForm1::SetCommandEnabled(Command command, bool enabled) {
    graphic_->SetEnabled(ToolButtonId(ButtonOf(command)), enabled);
}

namespace {
void FillBox(HWND box, std::span<const std::string_view> entries) {
    SendMessageW(box, WM_SETREDRAW, FALSE, 0);
    SendMessageW(box, CB_RESETCONTENT, 0, 0);
    SetWindowTextW(box, L"");
    for (std::string_view entry : entries) {
        const std::wstring text = WideFromGbk(entry);
        SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    if (!entries.empty()) SendMessageW(box, CB_SETCURSEL, 0, 0);
    SendMessageW(box, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(box, nullptr, TRUE);
}
}  // namespace

void TForm1::FillProvinceBox(std::span<const std::string_view> entries) {
    FillBox(boxes_[0], entries);
}

void TForm1::FillCityBox(std::span<const std::string_view> entries) {
    FillBox(boxes_[1], entries);
}

void TForm1::SetTimerRunning(bool running) {
    if (running && !timer_running_) SetTimer(window_, kTimer1, 1000, nullptr);
    if (!running && timer_running_) KillTimer(window_, kTimer1);
    timer_running_ = running;
}

std::string TForm1::FilterText(FilterBox box) const {
    const HWND control = boxes_[std::size_t(box)];
    std::wstring text(std::size_t(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(std::size_t(GetWindowTextW(control, text.data(), int(text.size()))));
    return GbkFromWide(text);
}

void TForm1::SetWorkCommandEnabled(WorkCommand command, bool enabled) {
    graphic_->SetEnabled(ToolButtonId(ButtonOf(command)), enabled);
    // The tray menu's items of the same commands.
    const UINT state = MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED);
    if (command == WorkCommand::HomePage) EnableMenuItem(tray_menu_, kIdN20, state);
    if (command == WorkCommand::About) EnableMenuItem(tray_menu_, kIdN21, state);
}

void TForm1::SetBusyPointer(bool busy) {
    busy_pointer_ = busy;
    RefreshPointer();
}

void TForm1::RefreshPointer() {
    POINT at{};
    GetCursorPos(&at);
    // Moves the pointer where it is, so that its shape is asked for again now.
    SetCursorPos(at.x, at.y);
}

void TForm1::RepaintNow() {
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void TForm1::CloseConfirmed() {
    PostMessageW(window_, WM_CLOSE, 0, 0);
}

void TForm1::BringBack() {
    if (!IsWindowVisible(window_) || IsIconic(application_)) N17Click();
}

}  // namespace haojian::win32
