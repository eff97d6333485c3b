#include <windows.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "core/platform/windows/windows_text.h"
#include "tests/cli/child_process.h"

namespace haojian::testing {
namespace {

void CloseHandleOnce(HANDLE& handle) {
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE) ::CloseHandle(handle);
    handle = nullptr;
}

// One argument as CommandLineToArgvW and the C runtime split it back: quoted, with the
// backslashes before a quote (and before the closing quote) doubled.
void AppendArgument(std::wstring& line, const std::wstring& arg) {
    if (!line.empty()) line += L' ';
    line += L'"';
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

}  // namespace

struct ChildProcess::Platform {
    HANDLE process = nullptr;
    HANDLE pipes[3] = {};  // this process's ends of standard input, output and error
    ~Platform() { CloseHandleOnce(process); }
};

void ChildProcess::Start(const std::string& program, const std::vector<std::string>& args,
                         const std::string& folder, Output output) {
    platform_ = std::make_shared<Platform>();
    // The child's ends are inherited, this process's are not.
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE theirs[3] = {};
    ::CreatePipe(&theirs[0], &platform_->pipes[0], &inherit, 0);
    ::CreatePipe(&platform_->pipes[1], &theirs[1], &inherit, 0);
    ::CreatePipe(&platform_->pipes[2], &theirs[2], &inherit, 0);
    for (HANDLE mine : platform_->pipes) ::SetHandleInformation(mine, HANDLE_FLAG_INHERIT, 0);
    const std::wstring wide_program = WideFromUtf8(program);
    std::wstring line;
    AppendArgument(line, wide_program);
    for (const std::string& arg : args) AppendArgument(line, WideFromUtf8(arg));

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = theirs[0];
    // No handle: INVALID_HANDLE_VALUE, as wine gives a child with a console of its own a
    // console handle in place of a null one.
    startup.hStdOutput = output == Output::kPipe ? theirs[1] : INVALID_HANDLE_VALUE;
    startup.hStdError = theirs[2];
    PROCESS_INFORMATION started{};
    if (::CreateProcessW(wide_program.c_str(), line.data(), nullptr, nullptr, TRUE,
                         CREATE_NO_WINDOW, nullptr, WideFromUtf8(folder).c_str(), &startup,
                         &started)) {
        platform_->process = started.hProcess;
        ::CloseHandle(started.hThread);
    } else {
        status_ = -1;
        err_ = "cannot start " + program + ": " + Win32Reason(::GetLastError()) + "\n";
    }
    // The child holds its ends now: the pipes end when it does.
    for (HANDLE& handle : theirs) CloseHandleOnce(handle);
    if (output == Output::kNone) Close(Stream::kOutput);
}

void ChildProcess::Close(Stream stream) {
    CloseHandleOnce(platform_->pipes[int(stream)]);
}

void ChildProcess::Write(std::string_view bytes) {
    const HANDLE pipe = platform_->pipes[0];
    while (!bytes.empty() && pipe != nullptr) {
        DWORD put = 0;
        const DWORD size = DWORD(std::min<std::size_t>(bytes.size(), 1 << 20));
        if (!::WriteFile(pipe, bytes.data(), size, &put, nullptr)) return;
        bytes.remove_prefix(put);
    }
}

void ChildProcess::ReadUntil(Stream stream, std::string& bytes, std::size_t size,
                             std::chrono::steady_clock::time_point deadline) {
    const HANDLE pipe = platform_->pipes[int(stream)];
    const bool waits_forever = deadline == std::chrono::steady_clock::time_point::max();
    char buffer[65536];
    while (pipe != nullptr && bytes.size() < size) {
        // An anonymous pipe has no wait with a time limit: look until something is there.
        DWORD ready = 0;
        while (!waits_forever && ::PeekNamedPipe(pipe, nullptr, 0, nullptr, &ready, nullptr) &&
               ready == 0) {
            if (std::chrono::steady_clock::now() >= deadline) return;
            ::Sleep(5);
        }
        DWORD got = 0;
        if (!::ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) || got == 0) return;
        bytes.append(buffer, got);
    }
}

void ChildProcess::Kill() {
    ::TerminateProcess(platform_->process, 255);
}

int ChildProcess::AwaitExit() {
    ::WaitForSingleObject(platform_->process, INFINITE);
    DWORD code = 0;
    return ::GetExitCodeProcess(platform_->process, &code) ? int(code) : -1;
}

}  // namespace haojian::testing
