#include "win32/main_window.h"

#include <commctrl.h>
#include <shellapi.h>
#include <uxtheme.h>

#include <algorithm>
#include <span>
#include <utility>
#include <vector>

#include "core/export/export.h"
#include "core/files/dialog_directory.h"
#include "core/files/file_system.h"
#include "core/text/fixed_texts.h"
#include "win32/about_window.h"
#include "win32/command_dialogs.h"
#include "win32/graphic_controls.h"
#include "win32/posted_waker.h"
#include "win32/result_list_view.h"
#include "win32/statistics_window.h"
#include "win32/taskbar_icon.h"
#include "win32/wide_text.h"
#include "win32/window_class.h"
#include "window/background_thread.h"
#include "window/export_job.h"
#include "window/main_window_layout.h"
#include "window/main_window_texts.h"
#include "window/row_copy.h"
#include "window/window_texts.h"

namespace haojian::win32 {
namespace {

// A child control of the main window, with its id (for tests and WM_COMMAND).
HWND MakeChild(HWND parent, const wchar_t* cls, const std::wstring& text, DWORD style, int id,
               DWORD ex_style = 0) {
    return CreateWindowExW(ex_style, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0,
                           parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)),
                           nullptr);
}

// Tab and Shift+Tab leave the memo instead of typing a tab.
LRESULT CALLBACK MemoLeavesOnTab(HWND memo, UINT message, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR) {
    if (message == WM_GETDLGCODE) {
        LRESULT code = DefSubclassProc(memo, message, w, l);
        const MSG* msg = reinterpret_cast<const MSG*>(l);
        if (msg && msg->message == WM_KEYDOWN && msg->wParam == VK_TAB)
            code &= ~(DLGC_WANTTAB | DLGC_WANTALLKEYS);
        return code & ~DLGC_WANTTAB;
    }
    if (message == WM_NCDESTROY) RemoveWindowSubclass(memo, MemoLeavesOnTab, 0);
    return DefSubclassProc(memo, message, w, l);
}

}  // namespace

TForm1::TForm1(HINSTANCE instance, HWND application)
    : instance_(instance), application_(application) {
    RegisterWindowClass(instance, kMainWindowClass,
                        ObjectProcedure<TForm1, &TForm1::window_, &TForm1::Handle>,
                        {ApplicationIcon(SM_CXICON), ApplicationIcon(SM_CXSMICON), IDC_ARROW,
                         GetSysColorBrush(COLOR_BTNFACE)});

    const std::wstring caption = Wide(window_text::kMainWindowCaption);
    // Owned by the application window: the task bar shows that one's entry, not this one's.
    window_ = CreateWindowExW(WS_EX_ACCEPTFILES, kMainWindowClass, caption.c_str(),
                              WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT,
                              window_layout::kClientWidth, window_layout::kClientHeight,
                              application, nullptr, instance, this);
}

TForm1::~TForm1() {
    // Work still running reads the rows and the files: it ends first, then the run's worker.
    work_.reset();
    copy_rows_.reset();
    if (commands_) commands_->Run().Shutdown();
    if (window_) DestroyWindow(window_);
    if (font_) DeleteObject(font_);
    if (memo_brush_) DeleteObject(memo_brush_);
    if (tray_menu_) DestroyMenu(tray_menu_);
}

void TForm1::Show(int show_command) {
    // Centred on the screen at the client size the layout asks for.
    RECT outer{0, 0, scale_(window_layout::kClientWidth), scale_(window_layout::kClientHeight)};
    AdjustWindowRectEx(&outer, DWORD(GetWindowLongPtrW(window_, GWL_STYLE)), FALSE,
                       DWORD(GetWindowLongPtrW(window_, GWL_EXSTYLE)));
    const int width = outer.right - outer.left, height = outer.bottom - outer.top;
    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    SetWindowPos(window_, nullptr, area.left + (area.right - area.left - width) / 2,
                 area.top + (area.bottom - area.top - height) / 2, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(application_, SW_SHOWNOACTIVATE);
    ShowWindow(window_, show_command);
    UpdateWindow(window_);
    SetFocus(list_->handle());
    commands_->LoadDatabase();
}

void TForm1::ImportFile(const std::string& path) {
    commands_->ImportFile(path);
}

bool TForm1::PreTranslate(MSG& msg) {
    // Ctrl+C and Ctrl+A reach the list before the dialog keys are routed.
    if (list_->PreTranslate(msg)) return true;
    // The statistics window's keys: Tab between its controls, Escape closes it.
    if (statistics_ &&
        (msg.hwnd == statistics_->handle() || IsChild(statistics_->handle(), msg.hwnd)))
        return IsDialogMessageW(statistics_->handle(), &msg) != FALSE;
    return IsDialogMessageW(window_, &msg) != FALSE;
}

void TForm1::BuildControls() {
    scale_ = DpiScale(WindowDpi(window_));
    memo_brush_ = CreateSolidBrush(RGB(192, 192, 192));

    // Tooltips: the application's bright green.
    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                               WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, 0, 0, 0, 0, window_,
                               nullptr, instance_, nullptr);
    // A themed tooltip ignores its colours.
    SetWindowTheme(tooltip_, L"", L"");
    SendMessageW(tooltip_, TTM_SETTIPBKCOLOR, RGB(0, 255, 0), 0);
    SendMessageW(tooltip_, TTM_SETTIPTEXTCOLOR, GetSysColor(COLOR_INFOTEXT), 0);

    graphic_ = std::make_unique<GraphicControls>(window_, tooltip_);
    for (std::size_t i = 0; i < window_text::kToolButtons.size(); ++i) {
        const auto& info = window_text::kToolButtons[i];
        const std::wstring glyph(info.glyph.begin(), info.glyph.end());
        std::wstring name = L"GLYPH_" + glyph;
        std::transform(name.begin(), name.end(), name.begin(), ::towupper);
        graphic_->AddButton(ToolButtonId(ToolButton(i)), Wide(info.caption), Wide(info.tooltip),
                            Picture::FromPngResource(name.c_str()),
                            Picture::FromPngResource((name + L"_DISABLED").c_str()));
    }
    graphic_->AddLabel(kIdLabel2, Wide(window_text::kExportOptionsLabel));
    graphic_->AddLabel(kIdLabel1, Wide(window_text::kExportFieldsLabel));
    const std::array<std::string_view, 4> initial = {text::kAnyProvince, text::kAnyCity,
                                                     text::kAnyCard, text::kLayoutNumber};
    const std::array<std::span<const std::string_view>, 4> items = {
        {{}, {}, kCardTypeChoices, kLayoutBoxItems}};
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
        boxes_[i] = MakeChild(window_, WC_COMBOBOXW, L"",
                              CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP,
                              kIdComboBox1 + int(i));
        for (std::string_view item : items[i]) {
            const std::wstring text = WideFromGbk(item);
            SendMessageW(boxes_[i], CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        }
        SetWindowTextW(boxes_[i], WideFromGbk(initial[i]).c_str());
    }

    list_ = std::make_unique<ResultListView>(window_, kIdListView1, instance_);

    std::wstring instructions;
    for (std::u16string_view line : window_text::kInstructions) {
        if (!instructions.empty()) instructions += L"\r\n";
        instructions += Wide(line);
    }
    memo_ = MakeChild(window_, WC_EDITW, instructions,
                      ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL | WS_TABSTOP,
                      kIdMemo2, WS_EX_CLIENTEDGE);
    SetWindowSubclass(memo_, MemoLeavesOnTab, 0, 0);
    progress_ = MakeChild(window_, PROGRESS_CLASSW, L"", PBS_SMOOTH, kIdProgressBar1);
    SendMessageW(progress_, PBM_SETRANGE32, 0, 100);
    image1_ = Picture::FromJpegResource(L"IMAGE1");
    image2_ = Picture::FromJpegResource(L"IMAGE2");

    status_ = MakeChild(window_, STATUSCLASSNAMEW, L"", SBARS_SIZEGRIP, kIdStatusBar1);

    tray_menu_ = CreatePopupMenu();
    AppendMenuW(tray_menu_, MF_STRING | MF_GRAYED, kIdN17,
                Wide(window_text::kTrayShowItem).c_str());
    AppendMenuW(tray_menu_, MF_STRING, kIdN18, Wide(window_text::kTrayHideItem).c_str());
    AppendMenuW(tray_menu_, MF_STRING, kIdN19, Wide(window_text::kTrayContactItem).c_str());
    AppendMenuW(tray_menu_, MF_STRING, kIdN20, Wide(window_text::kTrayHomePageItem).c_str());
    AppendMenuW(tray_menu_, MF_STRING, kIdN21, Wide(window_text::kTrayAboutItem).c_str());
    AppendMenuW(tray_menu_, MF_SEPARATOR, kIdN22, nullptr);
    AppendMenuW(tray_menu_, MF_STRING, kIdN23, Wide(window_text::kTrayExitItem).c_str());

    dialogs_ = std::make_unique<CommandDialogs>(window_);
    work_ = std::make_unique<BackgroundThread>([window = window_](std::uint64_t id) {
        PostMessageW(window, kWorkDoneMessage, WPARAM(id), 0);
    });
    waker_ = std::make_unique<PostedWaker>(window_);
    const std::string program_directory = ExecutableDirectory();
    commands_ = std::make_unique<WindowCommands>(
        static_cast<WindowView&>(*this), *dialogs_, *work_, *waker_, RealFileSystem(),
        WindowPlaces{program_directory, DialogDirectory(program_directory)});
    list_->SetRows(&commands_->Run().Rows());
    copy_rows_ = std::make_unique<RowCopy>(
        RowCopySeams{[this](bool busy) {
                         copy_pointer_ = busy;
                         RefreshPointer();
                     },
                     [this](std::u16string_view text) { commands_->ShowMessage(text); },
                     [this](std::u16string text) { PutOnClipboard(window_, text); }},
        [window = window_](std::uint64_t id) {
            PostMessageW(window, kCopyDoneMessage, WPARAM(id), 0);
        },
        u"\r\n");
    list_->SetOnCopy([this] { CopySelectedRows(); }, [this] { return copy_rows_->Copying(); });

    tray_window_ = std::make_unique<TrayWindowLogic>(static_cast<TrayWindowView&>(*this));
    tray_ = std::make_unique<TTaskbarIcon>(instance_, application_);
    tray_->SetIcon(ApplicationIcon(SM_CXSMICON));
    tray_->SetHint(GbkFromWide(Wide(window_text::kApplicationTitle)));
    tray_->SetPopupMenu([this] { ShowTrayMenu(); });
    tray_->SetOnClick([this] { N17Click(); });
    tray_->SetVisible(true);

    about_ = std::make_unique<TForm2>(instance_, application_);
    // The status bar takes the panels' texts once it has the panels.
    ApplyScale();
    for (std::size_t i = 0; i + 1 < window_text::kPanelTexts.size(); ++i) {
        const std::wstring text = Wide(window_text::kPanelTexts[i]);
        SendMessageW(status_, SB_SETTEXTW, i, reinterpret_cast<LPARAM>(text.c_str()));
    }
    SetPanelText(kPanelStatus, GbkFromWide(Wide(window_text::kContactLine)));
}

LRESULT TForm1::Handle(UINT message, WPARAM w, LPARAM l) {
    const HWND window = window_;
    static const UINT kGraphicControl = RegisterWindowMessageW(kGraphicControlMessage);
    switch (message) {
        case WM_CREATE:
            BuildControls();
            return 0;
        case WM_SIZE:
            if (w == SIZE_MINIMIZED) return 0;
            if (status_) Layout();
            return 0;
        case WM_SYSCOMMAND:
            if ((w & 0xFFF0) == SC_MINIMIZE) {
                Minimise();
                return 0;
            }
            break;
        case WM_DPICHANGED: {
            scale_ = DpiScale(HIWORD(w));
            const RECT* suggested = reinterpret_cast<const RECT*>(l);
            SetWindowPos(window_, nullptr, suggested->left, suggested->top,
                         suggested->right - suggested->left, suggested->bottom - suggested->top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            ApplyScale();
            return 0;
        }
        case WM_PAINT: {
            PAINTSTRUCT paint;
            const HDC dc = BeginPaint(window_, &paint);
            Paint(dc, paint.rcPaint);
            EndPaint(window_, &paint);
            return 0;
        }
        case WM_MOUSEMOVE:
        case WM_MOUSELEAVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_LBUTTONUP:
        case WM_CAPTURECHANGED:
            if (const int id = graphic_ ? graphic_->Mouse(message, w, l) : 0) OnCommand(id);
            return 0;
        case WM_CTLCOLOREDIT:
            if (reinterpret_cast<HWND>(l) == memo_) {
                SetBkColor(reinterpret_cast<HDC>(w), RGB(192, 192, 192));
                return reinterpret_cast<LRESULT>(memo_brush_);
            }
            break;
        case WM_CTLCOLORSTATIC:
            SetBkMode(reinterpret_cast<HDC>(w), TRANSPARENT);
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        case WM_COMMAND:
            if (HIWORD(w) == BN_CLICKED || HIWORD(w) == 0) OnCommand(LOWORD(w));
            return 0;
        case WM_NOTIFY: {
            LRESULT result = 0;
            if (list_ && list_->Notify(*reinterpret_cast<const NMHDR*>(l), result)) return result;
            break;
        }
        case WM_CONTEXTMENU:
            if (list_ && reinterpret_cast<HWND>(w) == list_->handle()) {
                switch (
                    list_->PopupMenu(l, commands_->CanSplitExport(), commands_->CleanTextLists())) {
                    case kIdShowStatistics:
                        ShowStatistics();
                        break;
                    case kIdSplitExport:
                        commands_->SplitExport();
                        break;
                    case kIdCleanLists:
                        commands_->SetCleanTextLists(!commands_->CleanTextLists());
                        break;
                    default:
                        break;
                }
                return 0;
            }
            break;
        case WM_TIMER:
            if (w == kTimer1) commands_->TimerTick();
            if (w == ResultListView::kRowsTimer) list_->ShowWaitingRows();
            return 0;
        case kHandOffMessage:
            if (commands_) commands_->Run().ProcessHandOff();
            return 0;
        case kWorkDoneMessage:
            if (work_) work_->Finish(w);
            return 0;
        case kCopyDoneMessage:
            if (copy_rows_) copy_rows_->Finish(w);
            return 0;
        case WM_SETCURSOR:
            if ((busy_pointer_ || copy_pointer_) && LOWORD(l) == HTCLIENT) {
                SetCursor(LoadCursorW(nullptr, IDC_APPSTARTING));
                return TRUE;
            }
            break;
        case WM_DROPFILES: {
            const HDROP drop = reinterpret_cast<HDROP>(w);
            // One list file is imported as Import would; several, or a folder, are refused
            // with a message.
            std::vector<std::string> paths;
            const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
            for (UINT i = 0; i < count; ++i) {
                std::wstring path(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
                path.resize(DragQueryFileW(drop, i, path.data(), UINT(path.size())));
                paths.push_back(Utf8FromWide(path));
            }
            DragFinish(drop);
            commands_->DropFiles(paths);
            return 0;
        }
        case WM_CLOSE:
            if (commands_->CloseQuery()) {
                tray_.reset();  // the icon leaves the notification area with the window
                DestroyWindow(window_);
            }
            return 0;
        case WM_DESTROY:
            if (timer_running_) KillTimer(window_, kTimer1);
            PostQuitMessage(0);
            return 0;
        case WM_NCDESTROY:
            window_ = nullptr;
            break;
        default:
            if (message == kGraphicControl && graphic_) return graphic_->Describe(w, l);
            break;
    }
    return DefWindowProcW(window, message, w, l);
}

void TForm1::OnCommand(int id) {
    if (id >= kIdFirstToolButton && id < kIdFirstToolButton + int(kToolButtonCount)) {
        PressToolButton(
            ToolButton(id - kIdFirstToolButton), *commands_,
            {[this] { ShowAbout(); }, [this] { PostMessageW(window_, WM_CLOSE, 0, 0); }});
        return;
    }
    switch (id) {
        case kIdN17:
            N17Click();
            break;
        case kIdN18:
            N18Click();
            break;
        case kIdN19:
            commands_->Contact();
            break;
        case kIdN20:
            commands_->HomePage();
            break;
        case kIdN21:
            ShowAbout();
            break;
        case kIdN23:
            PostMessageW(window_, WM_CLOSE, 0, 0);
            break;
        case kIdShowStatistics:
            ShowStatistics();
            break;
        case kIdSplitExport:
            commands_->SplitExport();
            break;
        case kIdCleanLists:
            commands_->SetCleanTextLists(!commands_->CleanTextLists());
            break;
        case kIdCopyRows:
            CopySelectedRows();
            break;
        case kIdSelectAllRows:
            list_->SelectAll();
            break;
        default:
            break;
    }
}

void TForm1::CopySelectedRows() {
    copy_rows_->Copy(commands_->Run().RowsSnapshot(), list_->SelectedRanges());
}

void TForm1::ShowAbout() {
    // Not while the window waits to close: the close would tear the About window down.
    if (about_ && commands_->CanShowAbout())
        about_->ShowModal(IsWindowVisible(window_) ? window_ : nullptr);
}

void TForm1::ShowStatistics() {
    commands_->CountStatistics([this](RowStatistics counted) {
        if (!statistics_)
            statistics_ = std::make_unique<StatisticsWindow>(instance_, window_, *dialogs_);
        statistics_->ShowCounts(std::move(counted));
    });
}

}  // namespace haojian::win32
