// The standard streams on Windows: binary data, wide text to consoles.
#include "cli/console.h"
#include "cli/messages.h"
#include "cli/standard_output.h"
#include "core/platform/windows/windows_text.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <iostream>
#include <streambuf>
#include <string>

namespace haojian::cli {
namespace {

// Messages (UTF-8) written to a console as UTF-16 with WriteConsoleW, so that they read right
// whatever the console's code page. Complete UTF-8 sequences only leave the buffer.
class ConsoleBuffer final : public std::streambuf {
public:
    explicit ConsoleBuffer(HANDLE console) : console_(console) {}

protected:
    int_type overflow(int_type c) override {
        if (c != traits_type::eof()) pending_.push_back(char(c));
        if (c == '\n' || pending_.size() >= 4096) Flush();
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        pending_.append(s, std::size_t(n));
        if (pending_.find('\n') != std::string::npos || pending_.size() >= 4096) Flush();
        return n;
    }
    int sync() override {
        Flush();
        return 0;
    }

private:
    void Flush() {
        // Keep an unfinished sequence at the end for the next write.
        std::size_t end = pending_.size();
        std::size_t back = 0;
        while (back < 3 && back < end &&
               (static_cast<unsigned char>(pending_[end - 1 - back]) & 0xC0) == 0x80) {
            ++back;
        }
        if (back < end) {
            const auto lead = static_cast<unsigned char>(pending_[end - 1 - back]);
            const std::size_t want = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
            if (want > back + 1) end -= back + 1;
        }
        if (end == 0) return;
        const std::wstring wide = WideFromUtf8(std::string_view(pending_).substr(0, end));
        DWORD written = 0;
        ::WriteConsoleW(console_, wide.data(), DWORD(wide.size()), &written, nullptr);
        pending_.erase(0, end);
    }

    HANDLE console_;
    std::string pending_;
};

bool IsConsole(HANDLE handle) {
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && handle != nullptr && ::GetConsoleMode(handle, &mode);
}

}  // namespace

void PrepareStandardStreams() {
    ::_setmode(0, _O_BINARY);
    ::_setmode(1, _O_BINARY);
    ::_setmode(2, _O_BINARY);
    // Alive for the whole run: the streams use them until the program ends.
    static ConsoleBuffer out_buffer(::GetStdHandle(STD_OUTPUT_HANDLE));
    static ConsoleBuffer error_buffer(::GetStdHandle(STD_ERROR_HANDLE));
    if (IsConsole(::GetStdHandle(STD_OUTPUT_HANDLE))) std::cout.rdbuf(&out_buffer);
    if (IsConsole(::GetStdHandle(STD_ERROR_HANDLE))) std::cerr.rdbuf(&error_buffer);
}

void WriteTextToStandardOutput(std::string_view utf8) {
    const HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
    if (!IsConsole(out)) {
        WriteStandardOutput(utf8);
        return;
    }
    // What the stream has taken goes first, then the text at once, whose failure is seen.
    std::cout.flush();
    const std::wstring wide = WideFromUtf8(utf8);
    for (std::size_t done = 0; done < wide.size();) {
        DWORD written = 0;
        const DWORD want = DWORD(std::min<std::size_t>(wide.size() - done, 16384));
        if (!::WriteConsoleW(out, wide.data() + done, want, &written, nullptr) || written == 0) {
            throw Win32FileError(FileError::Op::Write, std::string(kStandardOutput),
                                 ::GetLastError());
        }
        done += written;
    }
}

bool ShowsProgress(std::FILE* stream) {
    const HANDLE handle = reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(stream)));
    if (!IsConsole(handle)) return false;
    // The progress line moves back and clears with terminal sequences, which consoles before
    // Windows 10 do not know: none there.
    DWORD mode = 0;
    ::GetConsoleMode(handle, &mode);
    return ::SetConsoleMode(handle, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

bool IsFileOfStandardOutput(const std::string& path) {
    BY_HANDLE_FILE_INFORMATION out{};
    if (!::GetFileInformationByHandle(::GetStdHandle(STD_OUTPUT_HANDLE), &out)) return false;
    const HANDLE named = ::CreateFileW(WidePath(path).c_str(), 0,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (named == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = ::GetFileInformationByHandle(named, &info) != 0;
    ::CloseHandle(named);
    return known && info.dwVolumeSerialNumber == out.dwVolumeSerialNumber &&
           info.nFileIndexHigh == out.nFileIndexHigh && info.nFileIndexLow == out.nFileIndexLow;
}

void OnClosedOutput() {
    std::cerr.rdbuf(nullptr);
    ::ExitProcess(1);
}

}  // namespace haojian::cli
