#include <windows.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "core/platform/windows/windows_text.h"
#include "tests/cli/child_process.h"

namespace haojian::testing {
namespace {

// A handle closed when the object goes.
struct Handle {
    HANDLE h = nullptr;
    Handle() = default;
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() { Close(); }
    void Close() {
        if (h != nullptr && h != INVALID_HANDLE_VALUE) ::CloseHandle(h);
        h = nullptr;
    }
};

// A pipe whose end for the child (read or write) is inherited and the other is not.
struct Pipe {
    Handle read;
    Handle write;
    explicit Pipe(bool child_reads) {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        ::CreatePipe(&read.h, &write.h, &inherit, 0);
        ::SetHandleInformation(child_reads ? write.h : read.h, HANDLE_FLAG_INHERIT, 0);
    }
};

// One argument as CommandLineToArgvW and the C runtime split it back: quoted, with the
// backslashes before a quote (and before the closing quote) doubled.
void AppendArgument(std::wstring& line, const std::wstring& arg) {
    line += L" \"";
    std::size_t backslashes = 0;
    for (const wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        line.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        line += c;
    }
    line.append(backslashes * 2, L'\\');
    line += L'"';
}

std::string ReadAll(HANDLE pipe) {
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    while (::ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        bytes.append(buffer, got);
    }
    return bytes;
}

// Writes bytes until the reader goes.
void WriteAll(HANDLE pipe, const std::string& bytes) {
    for (std::size_t done = 0; done < bytes.size();) {
        DWORD put = 0;
        const DWORD size = DWORD(std::min<std::size_t>(bytes.size() - done, 1 << 20));
        if (!::WriteFile(pipe, bytes.data() + done, size, &put, nullptr)) return;
        done += put;
    }
}

}  // namespace

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::string& folder, const std::string& input) {
    Pipe in(true), out(false), err(false);
    const std::wstring wide_program = WideFromUtf8(program);
    std::wstring line;
    AppendArgument(line, wide_program);
    for (const std::string& arg : args) AppendArgument(line, WideFromUtf8(arg));
    line.erase(0, 1);  // the space before the program's name
    const std::wstring wide_folder = WideFromUtf8(folder);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in.read.h;
    startup.hStdOutput = out.write.h;
    startup.hStdError = err.write.h;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(wide_program.c_str(), line.data(), nullptr, nullptr, TRUE,
                          CREATE_NO_WINDOW, nullptr, wide_folder.c_str(), &startup, &process)) {
        return {-1, "", "cannot start " + program + ": " + Win32Reason(::GetLastError()) + "\n"};
    }
    Handle child_process, child_thread;
    child_process.h = process.hProcess;
    child_thread.h = process.hThread;
    // The child's ends are its own now: the pipes end when the child does.
    in.read.Close();
    out.write.Close();
    err.write.Close();

    std::thread writer([&] {
        WriteAll(in.write.h, input);
        in.write.Close();
    });
    std::string err_bytes;
    std::thread err_reader([&] { err_bytes = ReadAll(err.read.h); });
    std::string out_bytes = ReadAll(out.read.h);
    err_reader.join();
    writer.join();
    ::WaitForSingleObject(child_process.h, INFINITE);
    DWORD code = 0;
    if (!::GetExitCodeProcess(child_process.h, &code)) return {-1, out_bytes, err_bytes};
    return {int(code), std::move(out_bytes), std::move(err_bytes)};
}

}  // namespace haojian::testing
