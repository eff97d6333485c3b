#include "win32/main_window.h"

#include <commctrl.h>
#include <shellapi.h>
#include <uxtheme.h>

#include <algorithm>

#include "core/files/dialog_directory.h"
#include "core/files/file_system.h"
#include "core/text/fixed_texts.h"
#include "win32/about_window.h"
#include "win32/command_dialogs.h"
#include "win32/graphic_controls.h"
#include "win32/result_list.h"
#include "win32/statistics_window.h"
#include "win32/taskbar_icon.h"
#include "win32/thread_work.h"
#include "win32/wide_text.h"
#include "win32/window_object.h"
#include "window/main_window_texts.h"
#include "window/window_texts.h"

namespace haojian::win32 {
namespace {

constexpr wchar_t kMainClass[] = L"TForm1";
constexpr wchar_t kApplicationClass[] = L"TApplication";
constexpr UINT_PTR kTimer1 = 1;

// The layout at 96 DPI.
constexpr int kClientWidth = 784;
constexpr int kClientHeight = 562;
constexpr int kCoolBarHeight = 30;
constexpr int kStripHeight = 35;
constexpr int kBottomHeight = 195;
constexpr int kStatusHeight = 19;
constexpr int kProgressHeight = 15;
constexpr int kPicturePanelWidth = 176;
constexpr int kBevel = 2;  // a lowered outer and a raised inner bevel, one pixel each
constexpr int kComboItemHeight = 12;
constexpr int kComboHeight = 20;

struct FilterBoxPlace {
    int id;
    int x;
};
constexpr std::array<FilterBoxPlace, 4> kBoxPlaces = {
    {{kIdComboBox1, 72}, {kIdComboBox2, 232}, {kIdComboBox3, 392}, {kIdComboBox4, 608}}};

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

LRESULT CALLBACK ApplicationProcedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    switch (message) {
        case WM_SYSCOMMAND:
            // Restored from the task bar: the main window comes back with it.
            if ((w & 0xFFF0) == SC_RESTORE) {
                const LRESULT result = DefWindowProcW(window, message, w, l);
                if (const HWND main = FindWindowExW(nullptr, nullptr, kMainClass, nullptr);
                    main && GetWindow(main, GW_OWNER) == window) {
                    ShowWindow(main, SW_SHOW);
                    SetForegroundWindow(main);
                }
                return result;
            }
            break;
        case WM_ACTIVATE:
            if (LOWORD(w) != WA_INACTIVE) {
                if (const HWND popup = GetLastActivePopup(window); popup && popup != window)
                    SetFocus(popup);
            }
            return 0;
        case WM_CLOSE:
            // Closing the task-bar entry closes the main window, with its question.
            if (const HWND popup = GetLastActivePopup(window); popup && popup != window)
                PostMessageW(popup, WM_CLOSE, 0, 0);
            return 0;
    }
    return DefWindowProcW(window, message, w, l);
}

}  // namespace

HWND CreateApplicationWindow(HINSTANCE instance) {
    WNDCLASSEXW cls{};
    cls.cbSize = sizeof cls;
    cls.lpfnWndProc = ApplicationProcedure;
    cls.hInstance = instance;
    cls.hIcon = ApplicationIcon(SM_CXICON);
    cls.hIconSm = ApplicationIcon(SM_CXSMICON);
    cls.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    cls.lpszClassName = kApplicationClass;
    RegisterClassExW(&cls);
    const std::wstring title = Wide(window_text::kApplicationTitle);
    // A window of no size in the middle of the screen: only its task-bar entry shows.
    const int x = GetSystemMetrics(SM_CXSCREEN) / 2, y = GetSystemMetrics(SM_CYSCREEN) / 2;
    return CreateWindowExW(0, kApplicationClass, title.c_str(),
                           WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX, x,
                           y, 0, 0, nullptr, nullptr, instance, nullptr);
}

MainWindow::MainWindow(HINSTANCE instance, HWND application)
    : instance_(instance), application_(application) {
    WNDCLASSEXW cls{};
    cls.cbSize = sizeof cls;
    cls.lpfnWndProc = Procedure;
    cls.hInstance = instance;
    cls.hIcon = ApplicationIcon(SM_CXICON);
    cls.hIconSm = ApplicationIcon(SM_CXSMICON);
    cls.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    cls.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    cls.lpszClassName = kMainClass;
    RegisterClassExW(&cls);

    const std::wstring caption = Wide(window_text::kMainWindowCaption);
    // Owned by the application window: the task bar shows that one's entry, not this one's.
    window_ = CreateWindowExW(WS_EX_ACCEPTFILES, kMainClass, caption.c_str(),
                              WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT,
                              kClientWidth, kClientHeight, application, nullptr, instance, this);
}

MainWindow::~MainWindow() {
    // Work still running reads the rows and the files: it ends first, then the run's worker.
    work_.reset();
    if (commands_) commands_->Run().Shutdown();
    if (window_) DestroyWindow(window_);
    if (font_) DeleteObject(font_);
    if (memo_brush_) DeleteObject(memo_brush_);
    if (tray_menu_) DestroyMenu(tray_menu_);
}

LRESULT CALLBACK MainWindow::Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    auto* self = WindowObject<MainWindow>(window, message, l);
    if (!self) return DefWindowProcW(window, message, w, l);
    if (message == WM_NCCREATE) self->window_ = window;
    return self->Handle(message, w, l);
}

void MainWindow::Show(int show_command) {
    // Centred on the screen at the client size the layout asks for.
    RECT outer{0, 0, scale_(kClientWidth), scale_(kClientHeight)};
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

bool MainWindow::PreTranslate(MSG& msg) {
    // Ctrl+C and Ctrl+A reach the list before the dialog keys are routed.
    if (list_->PreTranslate(msg)) return true;
    return IsDialogMessageW(window_, &msg) != FALSE;
}

void MainWindow::BuildControls() {
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
        graphic_->AddButton(kIdFirstToolButton + int(i), Wide(info.caption), Wide(info.tooltip),
                            Picture::FromPngResource(name.c_str()),
                            Picture::FromPngResource((name + L"_DISABLED").c_str()));
    }
    graphic_->AddLabel(kIdLabel2, Wide(window_text::kExportOptionsLabel));
    graphic_->AddLabel(kIdLabel1, Wide(window_text::kExportFieldsLabel));
    const std::array<std::string_view, 4> initial = {text::kAnyProvince, text::kAnyCity,
                                                     text::kAnyCard, text::kLayoutNumber};
    const std::array<std::vector<std::string_view>, 4> items = {{
        {},
        {},
        {text::kAnyCard, text::kCardMobile, text::kCardTelecom, text::kCardUnicom,
         text::kCardVirtual, text::kUnknown},
        {text::kLayoutNumber, text::kLayoutNumberProvince, text::kLayoutNumberCity,
         text::kLayoutNumberCard, text::kLayoutNumberProvinceCard, text::kLayoutNumberCityCard},
    }};
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
        boxes_[i] =
            MakeChild(window_, WC_COMBOBOXW, L"",
                      CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP, kBoxPlaces[i].id);
        for (std::string_view item : items[i]) {
            const std::wstring text = WideFromGbk(item);
            SendMessageW(boxes_[i], CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        }
        SetWindowTextW(boxes_[i], WideFromGbk(initial[i]).c_str());
    }

    list_ = std::make_unique<ResultList>(window_, kIdListView1, instance_);

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
    AppendMenuW(tray_menu_, MF_STRING | MF_GRAYED, kIdN17, L"显示主程序(&S)");
    AppendMenuW(tray_menu_, MF_STRING, kIdN18, L"最小化显示(&M)");
    AppendMenuW(tray_menu_, MF_STRING, kIdN19, L"与我们联系(&L)");
    AppendMenuW(tray_menu_, MF_STRING, kIdN20, L"访问瓴岚主页(&V)");
    AppendMenuW(tray_menu_, MF_STRING, kIdN21, L"关于本软件(&A)");
    AppendMenuW(tray_menu_, MF_SEPARATOR, kIdN22, nullptr);
    AppendMenuW(tray_menu_, MF_STRING, kIdN23, L"退 出(&Exit)");

    dialogs_ = std::make_unique<CommandDialogs>(window_);
    work_ = std::make_unique<ThreadWork>(window_);
    waker_ = std::make_unique<PostedWaker>(window_);
    const std::string program_directory = ExecutableDirectory();
    commands_ = std::make_unique<WindowCommands>(
        static_cast<WindowView&>(*this), *dialogs_, *work_, *waker_, RealFileSystem(),
        WindowPlaces{program_directory, DialogDirectory(program_directory)});
    list_->SetRows(&commands_->Run().Rows());

    tray_ = std::make_unique<TaskbarIcon>(instance_, application_);
    tray_->SetIcon(ApplicationIcon(SM_CXSMICON));
    tray_->SetHint(Wide(window_text::kApplicationTitle));
    tray_->SetPopupMenu([this] { ShowTrayMenu(); });
    tray_->SetOnClick([this] { N17Click(); });
    tray_->SetVisible(true);

    about_ = std::make_unique<AboutWindow>(instance_, application_);
    // The status bar takes the panels' texts once it has the panels.
    ApplyScale();
    for (std::size_t i = 0; i + 1 < window_text::kPanelTexts.size(); ++i) {
        const std::wstring text = Wide(window_text::kPanelTexts[i]);
        SendMessageW(status_, SB_SETTEXTW, i, reinterpret_cast<LPARAM>(text.c_str()));
    }
    SetPanelText(kPanelStatus, GbkFromWide(Wide(window_text::kContactLine)));
}

void MainWindow::ApplyScale() {
    if (font_) DeleteObject(font_);
    font_ = MakeFont(L"宋体", 12, scale_, false, false, GB2312_CHARSET);
    const auto set_font = [this](HWND control) {
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
    };
    graphic_->SetFont(font_, scale_);
    for (HWND control : boxes_) {
        set_font(control);
        SendMessageW(control, CB_SETITEMHEIGHT, 0, scale_(kComboItemHeight));
        // The box's own height: its edit part plus the frame.
        SendMessageW(control, CB_SETITEMHEIGHT, WPARAM(-1), scale_(kComboHeight - 6));
    }
    set_font(memo_);
    set_font(status_);
    set_font(tooltip_);
    list_->SetFont(font_, scale_);
    std::array<int, 7> edges{};
    int right = 0;
    for (std::size_t i = 0; i < edges.size(); ++i) {
        right += scale_(window_text::kPanelWidths[i]);
        edges[i] = window_text::kPanelWidths[i] > 0 ? right : -1;
    }
    SendMessageW(status_, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
    SendMessageW(status_, SB_SETMINHEIGHT,
                 scale_(kStatusHeight) - 2 * GetSystemMetrics(SM_CYBORDER), 0);
    SendMessageW(status_, WM_SIZE, 0, 0);
    Layout();
}

void MainWindow::Layout() {
    RECT client{};
    GetClientRect(window_, &client);
    const int width = client.right, height = client.bottom;
    for (std::size_t i = 0; i < window_text::kToolButtons.size(); ++i) {
        const int left =
            scale_(window_text::kToolButtonLeft + window_text::kToolButtonStep * int(i));
        const int top = scale_(window_text::kToolButtonTop);
        graphic_->Place(kIdFirstToolButton + int(i),
                        RECT{left, top, left + scale_(window_text::kToolButtonWidth),
                             top + scale_(window_text::kToolButtonHeight)});
    }
    const int strip = scale_(kCoolBarHeight);
    const auto label = [&](int left) {
        const int top = strip + scale_(12);
        return RECT{scale_(left), top, scale_(left) + scale_(60), top + scale_(13)};
    };
    graphic_->Place(kIdLabel2, label(10));
    graphic_->Place(kIdLabel1, label(546));
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
        // The drop-down list's height counts in the window's; the box itself keeps its own.
        MoveWindow(boxes_[i], scale_(kBoxPlaces[i].x), strip + scale_(8), scale_(145),
                   scale_(kComboHeight + 200), TRUE);
    }
    SendMessageW(status_, WM_SIZE, 0, 0);
    RECT status{};
    GetWindowRect(status_, &status);
    const int status_height = status.bottom - status.top;
    const int bottom_top =
        std::max(strip + scale_(kStripHeight), height - status_height - scale_(kBottomHeight));
    const int list_top = strip + scale_(kStripHeight);
    MoveWindow(list_->handle(), 0, list_top, width, std::max(0, bottom_top - list_top), TRUE);
    const int inner_left = scale_(kBevel), inner_right = width - scale_(kBevel);
    const int inner_bottom = bottom_top + scale_(kBottomHeight) - scale_(kBevel);
    const int progress_top = inner_bottom - scale_(kProgressHeight);
    MoveWindow(progress_, inner_left, progress_top, inner_right - inner_left,
               scale_(kProgressHeight), TRUE);
    const int memo_left = inner_left + scale_(kPicturePanelWidth);
    const int memo_right = inner_right - scale_(kPicturePanelWidth);
    MoveWindow(memo_, memo_left, bottom_top + scale_(kBevel), std::max(0, memo_right - memo_left),
               std::max(0, progress_top - bottom_top - scale_(kBevel)), TRUE);
    InvalidateRect(window_, nullptr, TRUE);
}

void MainWindow::Paint(HDC dc, const RECT& update) {
    RECT client{};
    GetClientRect(window_, &client);
    const int strip = scale_(kCoolBarHeight);
    RECT strip_rect{0, strip, client.right, strip + scale_(kStripHeight)};
    DrawEdge(dc, &strip_rect, BDR_SUNKENOUTER | BDR_RAISEDINNER, BF_RECT);
    RECT status{};
    GetWindowRect(status_, &status);
    const int bottom_top = client.bottom - (status.bottom - status.top) - scale_(kBottomHeight);
    RECT bottom{0, bottom_top, client.right, bottom_top + scale_(kBottomHeight)};
    DrawEdge(dc, &bottom, BDR_SUNKENOUTER | BDR_RAISEDINNER, BF_RECT);
    // The pictures, centred in their panels' inner areas.
    const int inner_top = bottom_top + scale_(kBevel);
    const int inner_height = scale_(kBottomHeight - 2 * kBevel - kProgressHeight);
    const int side = scale_(176);
    const auto draw = [&](const Picture& picture, int panel_left) {
        const int x = panel_left + (scale_(kPicturePanelWidth) - side) / 2;
        const int y = inner_top + (inner_height - side) / 2;
        picture.Draw(dc, RECT{x, y, x + side, y + side});
    };
    draw(image1_, scale_(kBevel));
    draw(image2_, client.right - scale_(kBevel) - scale_(kPicturePanelWidth));
    graphic_->Paint(dc, update);
}

LRESULT MainWindow::Handle(UINT message, WPARAM w, LPARAM l) {
    const HWND window = window_;
    static const UINT kTaskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
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
                switch (list_->PopupMenu(l)) {
                    case kIdShowStatistics:
                        ShowStatistics();
                        break;
                    default:
                        break;
                }
                return 0;
            }
            break;
        case WM_TIMER:
            if (w == kTimer1) commands_->TimerTick();
            if (w == ResultList::kRowsTimer) list_->ShowWaitingRows();
            return 0;
        case kHandOffMessage:
            if (commands_) commands_->Run().ProcessHandOff();
            return 0;
        case kWorkStepMessage:
            if (work_) work_->RunSteps();
            return 0;
        case kWorkDoneMessage:
            if (work_) work_->Finish(w);
            return 0;
        case WM_SETCURSOR:
            if (busy_pointer_ && LOWORD(l) == HTCLIENT) {
                SetCursor(LoadCursorW(nullptr, IDC_APPSTARTING));
                return TRUE;
            }
            break;
        case WM_DROPFILES: {
            const HDROP drop = reinterpret_cast<HDROP>(w);
            // One list file is imported as Import would; anything else is refused.
            if (DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) == 1 && commands_->CanImport()) {
                std::wstring path(DragQueryFileW(drop, 0, nullptr, 0) + 1, L'\0');
                path.resize(DragQueryFileW(drop, 0, path.data(), UINT(path.size())));
                const DWORD attributes = GetFileAttributesW(path.c_str());
                if (attributes != INVALID_FILE_ATTRIBUTES &&
                    !(attributes & FILE_ATTRIBUTE_DIRECTORY))
                    commands_->ImportFile(CorePath(path));
            }
            DragFinish(drop);
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
            if (message == kTaskbarCreated && tray_) tray_->Readd();
            break;
    }
    return DefWindowProcW(window, message, w, l);
}

void MainWindow::OnCommand(int id) {
    switch (id) {
        case kIdFirstToolButton + 0:
            commands_->Import();
            break;
        case kIdFirstToolButton + 1:
            commands_->Query();
            break;
        case kIdFirstToolButton + 2:
            commands_->Stop();
            break;
        case kIdFirstToolButton + 3:
            commands_->Export();
            break;
        case kIdFirstToolButton + 4:
            commands_->Merge();
            break;
        case kIdFirstToolButton + 5:
            commands_->HomePage();
            break;
        case kIdFirstToolButton + 6:
            ShowAbout();
            break;
        case kIdFirstToolButton + 7:
            PostMessageW(window_, WM_CLOSE, 0, 0);
            break;
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
        default:
            break;
    }
}

void MainWindow::N18Click() {
    EnableMenuItem(tray_menu_, kIdN18, MF_BYCOMMAND | MF_GRAYED);
    EnableMenuItem(tray_menu_, kIdN17, MF_BYCOMMAND | MF_ENABLED);
    ShowWindow(application_, SW_HIDE);
    ShowWindow(window_, SW_HIDE);
}

void MainWindow::N17Click() {
    EnableMenuItem(tray_menu_, kIdN17, MF_BYCOMMAND | MF_GRAYED);
    EnableMenuItem(tray_menu_, kIdN18, MF_BYCOMMAND | MF_ENABLED);
    ShowWindow(application_, SW_SHOW);
    if (IsIconic(application_)) ShowWindow(application_, SW_RESTORE);
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
}

void MainWindow::Minimise() {
    // The application minimises: the main window goes, the task-bar entry stays minimised.
    ShowWindow(window_, SW_HIDE);
    ShowWindow(application_, SW_MINIMIZE);
    // Then into the tray, when there is one to come back from.
    if (tray_ && tray_->Docked()) N18Click();
}

void MainWindow::ShowAbout() {
    if (about_) about_->ShowModal(IsWindowVisible(window_) ? window_ : nullptr);
}

void MainWindow::ShowStatistics() {
    if (!statistics_)
        statistics_ = std::make_unique<StatisticsWindow>(instance_, window_, *dialogs_);
    statistics_->ShowFor(commands_->Run().Rows());
}

void MainWindow::ShowTrayMenu() {
    POINT at{};
    GetCursorPos(&at);
    const UINT chosen =
        UINT(TrackPopupMenu(tray_menu_, TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, at.x, at.y,
                            0, tray_->MessageWindow(), nullptr));
    PostMessageW(tray_->MessageWindow(), WM_NULL, 0, 0);
    if (chosen) PostMessageW(window_, WM_COMMAND, MAKEWPARAM(chosen, 0), 0);
}

// WindowView

void MainWindow::RowsAppended(std::size_t first, std::size_t count) {
    list_->Appended(first, count);
}

void MainWindow::RowsCleared() {
    list_->Cleared();
}

void MainWindow::SetPanelText(int panel, std::string_view gbk_text) {
    std::wstring text = WideFromGbk(gbk_text);
    // The last panel's text stands centred. What it says (stopped, complete) holds for every
    // row appended before.
    if (panel == kPanelStatus) {
        text.insert(0, L"\t");
        if (list_) list_->ShowWaitingRows();
    }
    SendMessageW(status_, SB_SETTEXTW, WPARAM(panel), reinterpret_cast<LPARAM>(text.c_str()));
}

void MainWindow::SetProgressMaximum(int maximum) {
    progress_maximum_ = maximum;
    SendMessageW(progress_, PBM_SETRANGE32, 0, maximum);
}

void MainWindow::SetProgressPosition(int position) {
    SendMessageW(progress_, PBM_SETPOS, WPARAM(std::clamp(position, 0, progress_maximum_)), 0);
}

void MainWindow::SetCommandEnabled(Command command, bool enabled) {
    const std::size_t index = command == Command::Import ? 0 : command == Command::Query ? 1 : 2;
    graphic_->SetEnabled(kIdFirstToolButton + int(index), enabled);
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

void MainWindow::FillProvinceBox(std::span<const std::string_view> entries) {
    FillBox(boxes_[0], entries);
}

void MainWindow::FillCityBox(std::span<const std::string_view> entries) {
    FillBox(boxes_[1], entries);
}

void MainWindow::SetTimerRunning(bool running) {
    if (running && !timer_running_) SetTimer(window_, kTimer1, 1000, nullptr);
    if (!running && timer_running_) KillTimer(window_, kTimer1);
    timer_running_ = running;
}

std::string MainWindow::FilterText(FilterBox box) const {
    const HWND control = boxes_[std::size_t(box)];
    std::wstring text(std::size_t(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(std::size_t(GetWindowTextW(control, text.data(), int(text.size()))));
    return GbkFromWide(text);
}

void MainWindow::SetWorkCommandEnabled(WorkCommand command, bool enabled) {
    const std::size_t index = command == WorkCommand::Export  ? 3
                              : command == WorkCommand::Merge ? 4
                                                              : 7;
    graphic_->SetEnabled(kIdFirstToolButton + int(index), enabled);
}

void MainWindow::SetBusyPointer(bool busy) {
    busy_pointer_ = busy;
    POINT at{};
    GetCursorPos(&at);
    // Moves the pointer where it is, so that its shape is asked for again now.
    SetCursorPos(at.x, at.y);
}

void MainWindow::RepaintNow() {
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void MainWindow::CloseConfirmed() {
    PostMessageW(window_, WM_CLOSE, 0, 0);
}

}  // namespace haojian::win32
