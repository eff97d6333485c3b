// haojian_probe.exe: looks into and drives the running haojian.exe for the end-to-end tests, as
// a user's clicks and keys would: lists the main window's controls with their texts, presses
// buttons, answers file dialogs and message boxes, reads status panels and list sizes.
// Prints what it found on standard output (UTF-8); exit status 1 when it is not there in time.
// windows.h first: the other system headers build on it.
#include <windows.h>

#include <commctrl.h>
#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "core/platform/windows/windows_text.h"
#include "win32/graphic_control_info.h"
#include "win32/list_choice_dialog.h"

namespace {

using haojian::win32::GraphicControlInfo;

std::string Utf8(std::wstring_view text) {
    return haojian::Utf8FromWide(text);
}

std::wstring Text(HWND window) {
    wchar_t buffer[4096] = {};
    SendMessageTimeoutW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buffer), SMTO_BLOCK,
                        5000, nullptr);
    return buffer;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

// Waits up to 20 s for found() to give a window.
template <typename F>
HWND WaitFor(F found) {
    for (int i = 0; i < 400; ++i) {
        if (HWND window = found()) return window;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return nullptr;
}

HWND MainWindow() {
    return WaitFor([] {
        HWND window = FindWindowW(L"TForm1", nullptr);
        return window && IsWindowVisible(window) ? window : nullptr;
    });
}

// The first visible dialog (#32770) of the wine desktop, whichever program shows it: the window
// tests run one at a time, and only the program under test shows dialogs.
HWND Dialog() {
    return WaitFor([] {
        HWND found = nullptr;
        EnumWindows(
            [](HWND window, LPARAM l) -> BOOL {
                if (IsWindowVisible(window) && ClassOf(window) == L"#32770") {
                    *reinterpret_cast<HWND*>(l) = window;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&found));
        return found;
    });
}

HWND Control(HWND parent, int id) {
    return GetDlgItem(parent, id);
}

// A buffer in the program's process, for messages that hand the control a pointer.
struct RemoteBuffer {
    HANDLE process = nullptr;
    void* memory = nullptr;
    explicit RemoteBuffer(HWND window, std::size_t size) {
        DWORD id = 0;
        GetWindowThreadProcessId(window, &id);
        process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, id);
        if (process) memory = VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    }
    ~RemoteBuffer() {
        if (memory) VirtualFreeEx(process, memory, 0, MEM_RELEASE);
        if (process) CloseHandle(process);
    }
    std::wstring ReadText(std::size_t chars) const {
        std::wstring text(chars, L'\0');
        SIZE_T read = 0;
        ReadProcessMemory(process, memory, text.data(), chars * sizeof(wchar_t), &read);
        text.resize(wcsnlen(text.c_str(), chars));
        return text;
    }
};

// The controls the window draws itself, each as the window describes it.
std::vector<GraphicControlInfo> GraphicControls(HWND window) {
    static const UINT message = RegisterWindowMessageW(haojian::win32::kGraphicControlMessage);
    std::vector<GraphicControlInfo> controls;
    RemoteBuffer buffer(window, sizeof(GraphicControlInfo));
    if (!buffer.memory) return controls;
    for (WPARAM i = 0;; ++i) {
        if (!SendMessageW(window, message, i, reinterpret_cast<LPARAM>(buffer.memory))) break;
        GraphicControlInfo info{};
        SIZE_T read = 0;
        ReadProcessMemory(buffer.process, buffer.memory, &info, sizeof info, &read);
        controls.push_back(info);
    }
    return controls;
}

// The graphic control of this id, its rectangle in screen coordinates.
bool FindGraphicControl(HWND window, int id, GraphicControlInfo& found) {
    for (const GraphicControlInfo& info : GraphicControls(window)) {
        if (info.id != id) continue;
        found = info;
        MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&found.rect), 2);
        return true;
    }
    return false;
}

int Controls() {
    const HWND main = MainWindow();
    if (!main) return 1;
    std::printf("caption\t%s\n", Utf8(Text(main)).c_str());
    EnumChildWindows(
        main,
        [](HWND child, LPARAM l) -> BOOL {
            RECT r{};
            GetWindowRect(child, &r);
            MapWindowPoints(nullptr, reinterpret_cast<HWND>(l), reinterpret_cast<POINT*>(&r), 2);
            std::printf("%d\t%s\t%s\t%ld,%ld,%ld,%ld\t%s\n", GetDlgCtrlID(child),
                        Utf8(ClassOf(child)).c_str(), Utf8(Text(child)).c_str(), r.left, r.top,
                        r.right - r.left, r.bottom - r.top,
                        IsWindowEnabled(child) ? "enabled" : "disabled");
            return TRUE;
        },
        reinterpret_cast<LPARAM>(main));
    for (const GraphicControlInfo& c : GraphicControls(main)) {
        std::printf("%d\t%s\t%s\t%ld,%ld,%ld,%ld\t%s\n", c.id, Utf8(c.class_name).c_str(),
                    Utf8(c.text).c_str(), c.rect.left, c.rect.top, c.rect.right - c.rect.left,
                    c.rect.bottom - c.rect.top, c.enabled ? "enabled" : "disabled");
    }
    return 0;
}

std::wstring StatusText(HWND main, int panel) {
    const HWND status = Control(main, 500);
    RemoteBuffer buffer(status, 8192);
    SendMessageW(status, SB_GETTEXTW, WPARAM(panel), reinterpret_cast<LPARAM>(buffer.memory));
    return buffer.ReadText(4096);
}

int Status(int panel) {
    const HWND main = MainWindow();
    if (!main) return 1;
    std::printf("%s\n", Utf8(StatusText(main, panel)).c_str());
    return 0;
}

// A report list view's rows, its cells separated by tabs.
std::vector<std::string> ListViewRows(HWND table, int columns) {
    std::vector<std::string> lines;
    const int rows = int(SendMessageW(table, LVM_GETITEMCOUNT, 0, 0));
    RemoteBuffer buffer(table, sizeof(LVITEMW) + 1024 * sizeof(wchar_t));
    if (!buffer.memory) return lines;
    auto* text = static_cast<wchar_t*>(buffer.memory) + sizeof(LVITEMW) / sizeof(wchar_t) + 1;
    for (int row = 0; row < rows; ++row) {
        std::string line;
        for (int column = 0; column < columns; ++column) {
            LVITEMW item{};
            item.iSubItem = column;
            item.pszText = text;
            item.cchTextMax = 1024;
            SIZE_T written = 0;
            WriteProcessMemory(buffer.process, buffer.memory, &item, sizeof item, &written);
            SendMessageW(table, LVM_GETITEMTEXTW, WPARAM(row),
                         reinterpret_cast<LPARAM>(buffer.memory));
            std::wstring cell(1024, L'\0');
            SIZE_T read = 0;
            ReadProcessMemory(buffer.process, text, cell.data(), 1024 * sizeof(wchar_t), &read);
            cell.resize(wcsnlen(cell.c_str(), 1024));
            line += (column ? "\t" : "") + Utf8(cell);
        }
        lines.push_back(line);
    }
    return lines;
}

// The statistics window's table: every row shown, its cells separated by tabs; its total.
int Statistics() {
    const HWND window = WaitFor([] { return FindWindowW(L"TStatisticsWindow", nullptr); });
    if (!window) return 1;
    std::printf("total\t%s\n", Utf8(Text(Control(window, 4))).c_str());
    for (const std::string& line : ListViewRows(Control(window, 2), 3))
        std::printf("%s\n", line.c_str());
    return 0;
}

// The list dialog (a sheet's or a column's choice): prints its title, prompt, rows and the
// selected row; then takes the row of that number through 确定, or presses Enter or Escape.
int Choice(const std::wstring& action) {
    const HWND dialog = WaitFor([] {
        HWND found = nullptr;
        EnumWindows(
            [](HWND window, LPARAM l) -> BOOL {
                if (IsWindowVisible(window) && ClassOf(window) == L"#32770" &&
                    GetDlgItem(window, haojian::win32::kChoiceListId)) {
                    *reinterpret_cast<HWND*>(l) = window;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&found));
        return found;
    });
    if (!dialog) return 1;
    const HWND list = Control(dialog, haojian::win32::kChoiceListId);
    std::printf("title\t%s\n", Utf8(Text(dialog)).c_str());
    std::printf("prompt\t%s\n",
                Utf8(Text(Control(dialog, haojian::win32::kChoicePromptId))).c_str());
    const HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    const int columns = int(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    for (const std::string& line : ListViewRows(list, columns)) std::printf("%s\n", line.c_str());
    std::printf("selected\t%d\n",
                int(SendMessageW(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED)));
    std::fflush(stdout);
    if (action == L"enter") {
        PostMessageW(list, WM_KEYDOWN, VK_RETURN, 1);
        PostMessageW(list, WM_KEYUP, VK_RETURN, 0xC0000001);
    } else if (action == L"escape") {
        PostMessageW(list, WM_KEYDOWN, VK_ESCAPE, 1);
        PostMessageW(list, WM_KEYUP, VK_ESCAPE, 0xC0000001);
    } else if (!action.empty()) {
        RemoteBuffer buffer(list, sizeof(LVITEMW));
        if (!buffer.memory) return 1;
        LVITEMW item{};
        item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        item.state = LVIS_SELECTED | LVIS_FOCUSED;
        SIZE_T written = 0;
        WriteProcessMemory(buffer.process, buffer.memory, &item, sizeof item, &written);
        SendMessageW(list, LVM_SETITEMSTATE, WPARAM(_wtoi(action.c_str())),
                     reinterpret_cast<LPARAM>(buffer.memory));
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(Control(dialog, IDOK)));
    }
    return 0;
}

// A click on the statistics table's column header, as the pointer gives it.
int StatisticsHeaderClick(int column) {
    const HWND window = FindWindowW(L"TStatisticsWindow", nullptr);
    if (!window) return 1;
    const HWND table = Control(window, 2);
    const HWND header = reinterpret_cast<HWND>(SendMessageW(table, LVM_GETHEADER, 0, 0));
    int x = 5;
    for (int i = 0; i < column; ++i) x += int(SendMessageW(table, LVM_GETCOLUMNWIDTH, i, 0));
    PostMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 5));
    PostMessageW(header, WM_LBUTTONUP, 0, MAKELPARAM(x, 5));
    // Done once the table has taken the click: a message answered after it.
    SendMessageW(header, WM_NULL, 0, 0);
    SendMessageW(window, WM_NULL, 0, 0);
    return 0;
}

// The clipboard's Unicode text, its lines ended by LF.
int Clipboard() {
    std::wstring text;
    for (int i = 0; i < 50 && !OpenClipboard(nullptr); ++i) Sleep(100);
    if (const HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* units = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = units;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    std::string out;
    for (const char c : Utf8(text))
        if (c != '\r') out += c;
    std::fputs(out.c_str(), stdout);
    return 0;
}

int Items(int id) {
    const HWND main = MainWindow();
    if (!main) return 1;
    const HWND box = Control(main, id);
    // The system carries CB_GETLBTEXT's text across processes, as it does WM_GETTEXT's.
    const int count = int(SendMessageW(box, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[4096] = {};
        if (SendMessageW(box, CB_GETLBTEXTLEN, WPARAM(i), 0) < 4096)
            SendMessageW(box, CB_GETLBTEXT, WPARAM(i), reinterpret_cast<LPARAM>(text));
        std::printf("%s\n", Utf8(text).c_str());
    }
    return 0;
}

// Answers a file dialog: the name typed into its file name box, then Open or Save. A folder
// typed so is opened in the dialog, and is waited for (up to 10 s), so that names typed next
// are taken in that folder.
int FileDialog(const std::wstring& path, bool folder = false) {
    const HWND dialog = Dialog();
    if (!dialog) return 1;
    std::printf("%s\n", Utf8(Text(dialog)).c_str());
    HWND name = Control(dialog, 0x47C);        // cmb13, the file name box
    if (!name) name = Control(dialog, 0x480);  // edt1
    if (!name) return 1;
    SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    const WPARAM ok = MAKEWPARAM(IDOK, BN_CLICKED);
    const auto button = reinterpret_cast<LPARAM>(Control(dialog, IDOK));
    if (folder) {
        DWORD_PTR ignored = 0;
        return SendMessageTimeoutW(dialog, WM_COMMAND, ok, button, SMTO_NORMAL, 10000, &ignored)
                   ? 0
                   : 1;
    }
    PostMessageW(dialog, WM_COMMAND, ok, button);
    return 0;
}

// Presses and releases the control of this id as the left mouse button would: a control the
// window draws through the mouse messages at its middle, so that a disabled one stays
// unpressed; a window control, or a menu command of that id, through its notification.
int Click(HWND main, int id) {
    GraphicControlInfo graphic{};
    if (!FindGraphicControl(main, id, graphic)) {
        PostMessageW(main, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(Control(main, id)));
        return 0;
    }
    POINT at{(graphic.rect.left + graphic.rect.right) / 2,
             (graphic.rect.top + graphic.rect.bottom) / 2};
    ScreenToClient(main, &at);
    const LPARAM where = MAKELPARAM(at.x, at.y);
    PostMessageW(main, WM_MOUSEMOVE, 0, where);
    PostMessageW(main, WM_LBUTTONDOWN, MK_LBUTTON, where);
    PostMessageW(main, WM_LBUTTONUP, 0, where);
    // The pointer goes away again: the button is drawn flat, as before.
    PostMessageW(main, WM_MOUSELEAVE, 0, 0);
    return 0;
}

// Prints a message box's caption, text and buttons, then presses the button with this id.
int Box(int button) {
    const HWND box = Dialog();
    if (!box) return 1;
    std::printf("caption\t%s\n", Utf8(Text(box)).c_str());
    EnumChildWindows(
        box,
        [](HWND child, LPARAM) -> BOOL {
            std::printf("%d\t%s\t%s\n", GetDlgCtrlID(child), Utf8(ClassOf(child)).c_str(),
                        Utf8(Text(child)).c_str());
            return TRUE;
        },
        0);
    if (button)
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                     reinterpret_cast<LPARAM>(Control(box, button)));
    return 0;
}

// Clicks the control of this id in the first visible dialog (a radio button, a check box), as
// the pointer would, and waits until the dialog has taken it.
int DialogClick(int id) {
    const HWND dialog = Dialog();
    if (!dialog) return 1;
    const HWND control = Control(dialog, id);
    if (!control) return 1;
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutW(control, BM_CLICK, 0, 0, SMTO_NORMAL, 5000, &ignored) ? 0 : 1;
}

// Prints a rectangle in screen coordinates as "x y width height": the client area of the visible
// top-level window of this class, or with an id, that child control's window.
int Rect(const std::wstring& window_class, int id) {
    const HWND top = WaitFor([&] {
        HWND window = FindWindowW(window_class.c_str(), nullptr);
        return window && IsWindowVisible(window) ? window : nullptr;
    });
    if (!top) return 1;
    RECT r{};
    GraphicControlInfo graphic{};
    if (id) {
        if (const HWND child = Control(top, id)) {
            GetWindowRect(child, &r);
        } else if (FindGraphicControl(top, id, graphic)) {
            r = graphic.rect;
        } else {
            return 1;
        }
    } else {
        GetClientRect(top, &r);
        MapWindowPoints(top, nullptr, reinterpret_cast<POINT*>(&r), 2);
    }
    std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    return 0;
}

// Prints whether the program's top-level window of this class is visible (1) or hidden (0).
int Visible(const std::wstring& window_class) {
    const HWND window = FindWindowW(window_class.c_str(), nullptr);
    if (!window) return 1;
    std::printf("%d\n", IsWindowVisible(window) ? 1 : 0);
    return 0;
}

// Presses Escape in the program's visible top-level window of this class: the key goes to the
// control that has the focus there, through the program's message loop, as a user's would.
int Escape(const std::wstring& window_class) {
    const HWND window = FindWindowW(window_class.c_str(), nullptr);
    if (!window || !IsWindowVisible(window)) return 1;
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    HWND target = window;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) && info.hwndFocus &&
        (info.hwndFocus == window || IsChild(window, info.hwndFocus)))
        target = info.hwndFocus;
    PostMessageW(target, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    PostMessageW(target, WM_KEYUP, VK_ESCAPE, LPARAM(0xC0010001u));
    return 0;
}

// Prints 1 when the program's window of the first class lies above the one of the second in
// the stacking order of the screen, else 0.
int Above(const std::wstring& upper_class, const std::wstring& lower_class) {
    const HWND upper = FindWindowW(upper_class.c_str(), nullptr);
    const HWND lower = FindWindowW(lower_class.c_str(), nullptr);
    if (!upper || !lower) return 1;
    int above = 0;
    for (HWND w = GetWindow(lower, GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV)) {
        if (w == upper) above = 1;
    }
    std::printf("%d\n", above);
    return 0;
}

// Prints the class of the window the system finds at this screen point: the one a click there
// is sent to.
int WindowAt(int x, int y) {
    const HWND window = WindowFromPoint(POINT{x, y});
    if (!window) return 1;
    std::printf("%s\n", Utf8(ClassOf(window)).c_str());
    return 0;
}

// Minimises the main window as its title bar's button does.
int Minimise() {
    const HWND main = MainWindow();
    if (!main) return 1;
    PostMessageW(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    return 0;
}

// Presses Query and prints the seconds until the status bar reports the run complete, as the
// user sees it end, and the rows the list holds then. The bar is read every 10 ms through one
// buffer: each read interrupts the program's UI thread, and reading more often slows the run it
// measures.
int TimeQuery() {
    const HWND main = MainWindow();
    if (!main) return 1;
    const HWND status = Control(main, 500);
    RemoteBuffer buffer(status, 8192);
    if (!buffer.memory) return 1;
    const auto status_text = [&] {
        SendMessageW(status, SB_GETTEXTW, 6, reinterpret_cast<LPARAM>(buffer.memory));
        return buffer.ReadText(4096);
    };
    const std::wstring done = L"\t查询处理完毕！";
    if (status_text() == done) SendMessageW(status, SB_SETTEXTW, 6, 0);
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    PostMessageW(main, WM_COMMAND, MAKEWPARAM(101, BN_CLICKED),
                 reinterpret_cast<LPARAM>(Control(main, 101)));
    while (status_text() != done) {
        if (Clock::now() - start > std::chrono::minutes(10)) return 1;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    // The rows the list holds the moment the run says it is complete: all of them.
    const int rows = int(SendMessageW(Control(main, 300), LVM_GETITEMCOUNT, 0, 0));
    std::printf("%.3f %d\n", seconds, rows);
    return 0;
}

// For the benchmarks: repaints the main window with all its controls (or the control of this
// id alone) and prints the longest and the median time in milliseconds, of times repaints.
// With sent, this thread has the program paint them at once (RedrawWindow with
// RDW_UPDATENOW, each paint message sent across the processes); without, they are only
// invalidated and the program paints them on its own, as after an expose, and the time runs
// until no window of it has anything left to paint and its UI thread has finished the last.
int TimeRepaint(int times, int id, bool sent) {
    HWND main = MainWindow();
    if (main && id) main = Control(main, id);
    if (!main || times < 1) return 1;
    std::vector<HWND> windows{main};
    EnumChildWindows(
        main,
        [](HWND child, LPARAM list) {
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    std::vector<double> ms;
    for (int i = 0; i < times; ++i) {
        const auto start = std::chrono::steady_clock::now();
        RedrawWindow(main, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | (sent ? RDW_UPDATENOW : 0));
        // Each window is asked once it is the first still to paint, so that asking (a call to
        // wine's server each) takes as little from the program's painting as can be.
        for (std::size_t next = 0; !sent && next < windows.size();) {
            if (GetUpdateRect(windows[next], nullptr, FALSE)) {
                Sleep(1);
            } else {
                ++next;
            }
        }
        // A message answered only after the paint under way: the paint is done.
        SendMessageW(main, WM_NULL, 0, 0);
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%.2f %.2f\n", ms.back(), ms[ms.size() / 2]);
    return 0;
}

// The screen's pixels of a rectangle (screen coordinates), as 0xRRGGBB.
std::vector<std::uint32_t> ScreenPixels(const RECT& rect) {
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    std::vector<std::uint32_t> pixels(std::size_t(width) * std::size_t(height));
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, old);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    GetDIBits(memory, bitmap, 0, UINT(height), pixels.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    for (std::uint32_t& pixel : pixels) pixel &= 0xFFFFFF;
    return pixels;
}

// Waits until the window and its children have nothing left to paint, twice over a pause.
void WaitForPaint(HWND window) {
    for (int quiet = 0, i = 0; quiet < 2 && i < 200; ++i) {
        SendMessageW(window, WM_NULL, 0, 0);
        bool pending = GetUpdateRect(window, nullptr, FALSE);
        for (HWND child = GetWindow(window, GW_CHILD); child && !pending;
             child = GetWindow(child, GW_HWNDNEXT))
            pending = GetUpdateRect(child, nullptr, FALSE);
        quiet = pending ? 0 : quiet + 1;
        Sleep(200);
    }
}

// What the screen shows of a window's child, against what it shows once the child has been
// painted afresh: the number of pixels that differ.
long StalePixels(HWND window, HWND child) {
    RECT rect{};
    GetWindowRect(child, &rect);
    if (rect.right <= rect.left || rect.bottom <= rect.top) return -1;
    const std::vector<std::uint32_t> before = ScreenPixels(rect);
    RedrawWindow(child, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    WaitForPaint(window);
    const std::vector<std::uint32_t> after = ScreenPixels(rect);
    long differ = 0;
    for (std::size_t i = 0; i < before.size(); ++i) differ += before[i] != after[i];
    return differ;
}

// Maximises the top-level window of this class, then restores it; after each, once it has
// painted, prints for each child id the pixels where the screen differs from what it shows
// once that child is painted afresh: 0 when the children were repainted with their parent.
int Repainted(const wchar_t* cls, const std::vector<int>& ids) {
    const HWND window = WaitFor([cls] {
        HWND found = FindWindowW(cls, nullptr);
        return found && IsWindowVisible(found) ? found : nullptr;
    });
    if (!window) return 1;
    for (const WPARAM step : {WPARAM(SC_MAXIMIZE), WPARAM(SC_RESTORE)}) {
        SendMessageW(window, WM_SYSCOMMAND, step, 0);
        WaitForPaint(window);
        for (const int id : ids)
            std::printf("%s %d %ld\n", step == SC_MAXIMIZE ? "maximised" : "restored", id,
                        StalePixels(window, GetDlgItem(window, id)));
    }
    return 0;
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
    // Lines end in LF, as the shell scripts reading them expect.
    _setmode(_fileno(stdout), _O_BINARY);
    if (argc < 2) {
        std::fputs(
            "usage: haojian_probe controls|click ID|status PANEL|items ID|drop [-]ID|rows|"
            "query-stop|file PATH|folder PATH|box BUTTON|dialog-click ID|close|close-about|"
            "rect CLASS [ID]|"
            "minimise|visible CLASS|window-at X Y|escape CLASS|above CLASS CLASS|"
            "taskbar-created|command ID|clipboard|statistics|statistics-sort COLUMN|"
            "statistics-close|statistics-save-workbook|choice [ROW|enter|escape]|time-query|"
            "time-repaint[-sent] TIMES [ID]|repainted CLASS ID...\n",
            stderr);
        return 2;
    }
    const std::wstring command = argv[1];
    const int number = argc > 2 ? _wtoi(argv[2]) : 0;
    if (command == L"controls") return Controls();
    if (command == L"status") return Status(number);
    if (command == L"items") return Items(number);
    if (command == L"drop") {
        // A combo box's list dropped down, as a click on its arrow drops it; "drop -ID" closes
        // it again.
        const HWND main = MainWindow();
        if (!main) return 1;
        SendMessageW(Control(main, std::abs(number)), CB_SHOWDROPDOWN, number > 0, 0);
        return 0;
    }
    if (command == L"file") return argc > 2 ? FileDialog(argv[2]) : 2;
    if (command == L"folder") return argc > 2 ? FileDialog(argv[2], true) : 2;
    if (command == L"box") return Box(number);
    if (command == L"dialog-click") return DialogClick(number);
    if (command == L"rect") return argc > 2 ? Rect(argv[2], argc > 3 ? _wtoi(argv[3]) : 0) : 2;
    if (command == L"minimise") return Minimise();
    if (command == L"visible") return argc > 2 ? Visible(argv[2]) : 2;
    if (command == L"window-at") return argc > 3 ? WindowAt(number, _wtoi(argv[3])) : 2;
    if (command == L"escape") return argc > 2 ? Escape(argv[2]) : 2;
    if (command == L"above") return argc > 3 ? Above(argv[2], argv[3]) : 2;
    if (command == L"time-query") return TimeQuery();
    if (command == L"time-repaint" || command == L"time-repaint-sent") {
        return TimeRepaint(number, argc > 3 ? _wtoi(argv[3]) : 0, command == L"time-repaint-sent");
    }
    if (command == L"repainted" && argc > 3) {
        std::vector<int> ids;
        for (int i = 3; i < argc; ++i) ids.push_back(_wtoi(argv[i]));
        return Repainted(argv[2], ids);
    }
    if (command == L"statistics") return Statistics();
    if (command == L"choice") return Choice(argc > 2 ? argv[2] : L"");
    if (command == L"statistics-sort") return StatisticsHeaderClick(number);
    if (command == L"statistics-save-workbook") {
        // Posted: the button's save dialog then waits for the file command's answer.
        if (const HWND window = FindWindowW(L"TStatisticsWindow", nullptr))
            PostMessageW(window, WM_COMMAND, MAKEWPARAM(7, BN_CLICKED), 0);
        return 0;
    }
    if (command == L"statistics-close") {
        if (const HWND window = FindWindowW(L"TStatisticsWindow", nullptr))
            SendMessageW(window, WM_COMMAND, MAKEWPARAM(6, BN_CLICKED), 0);
        return 0;
    }
    if (command == L"clipboard") return Clipboard();
    if (command == L"taskbar-created") {
        // What Explorer broadcasts when the notification area (re)starts.
        DWORD_PTR result = 0;
        SendMessageTimeoutW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0,
                            SMTO_ABORTIFHUNG, 5000, &result);
        return 0;
    }
    if (command == L"close-about") {
        // The About window hides itself when closed.
        if (const HWND about = FindWindowW(L"TForm2", nullptr)) PostMessageW(about, WM_CLOSE, 0, 0);
        return 0;
    }
    const HWND main = MainWindow();
    if (!main) return 1;
    if (command == L"click") return Click(main, number);
    if (command == L"command") {
        // A menu's command, as the list's menu or the tray menu gives it.
        PostMessageW(main, WM_COMMAND, MAKEWPARAM(number, 0), 0);
        SendMessageW(main, WM_NULL, 0, 0);
        return 0;
    }
    if (command == L"query-stop") {
        // Query, then Stop as soon as the list shows a row: a run cut short midway. Prints the
        // rows there were when Stop was pressed.
        const HWND list = Control(main, 300);
        PostMessageW(main, WM_COMMAND, MAKEWPARAM(101, BN_CLICKED),
                     reinterpret_cast<LPARAM>(Control(main, 101)));
        int rows = 0;
        for (int i = 0; i < 4000 && rows == 0; ++i) {
            rows = int(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
            if (rows == 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        if (rows == 0) return 1;
        PostMessageW(main, WM_COMMAND, MAKEWPARAM(102, BN_CLICKED),
                     reinterpret_cast<LPARAM>(Control(main, 102)));
        std::printf("%d\n", rows);
        return 0;
    }
    if (command == L"rows") {
        std::printf("%d\n", int(SendMessageW(Control(main, 300), LVM_GETITEMCOUNT, 0, 0)));
        return 0;
    }
    if (command == L"close") {
        PostMessageW(main, WM_CLOSE, 0, 0);
        return 0;
    }
    return 2;
}
