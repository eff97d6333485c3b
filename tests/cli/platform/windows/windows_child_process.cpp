#include <windows.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "core/platform/windows/windows_text.h"
#include "tests/cli/child_process.h"

namespace haojian::testing {
namespace {

using Clock = std::chrono::steady_clock;
constexpr Clock::time_point kNoDeadline = Clock::time_point::max();

void Close(HANDLE& handle) {
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

// Reads from pipe until size bytes are in bytes, the pipe ends or the deadline passes.
void ReadUntil(HANDLE pipe, std::string& bytes, std::size_t size, Clock::time_point deadline) {
    char buffer[65536];
    while (pipe != nullptr && bytes.size() < size) {
        // An anonymous pipe has no wait with a time limit: look until something is there.
        DWORD ready = 0;
        while (deadline != kNoDeadline &&
               ::PeekNamedPipe(pipe, nullptr, 0, nullptr, &ready, nullptr) && ready == 0) {
            if (Clock::now() >= deadline) return;
            ::Sleep(5);
        }
        DWORD got = 0;
        if (!::ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) || got == 0) return;
        bytes.append(buffer, got);
    }
}

}  // namespace

struct ChildProcess::Impl {
    HANDLE process = nullptr;
    HANDLE in = nullptr;
    HANDLE out = nullptr;
    HANDLE err = nullptr;
    std::string out_bytes;
    std::string err_bytes;
    std::thread err_reader;
    bool ended = false;
    int status = 0;
};

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& args,
                           const std::string& folder)
    : impl_(std::make_unique<Impl>()) {
    // The child's ends are inherited, this process's are not.
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE in = nullptr, out = nullptr, err = nullptr;
    ::CreatePipe(&in, &impl_->in, &inherit, 0);
    ::CreatePipe(&impl_->out, &out, &inherit, 0);
    ::CreatePipe(&impl_->err, &err, &inherit, 0);
    for (HANDLE mine : {impl_->in, impl_->out, impl_->err}) {
        ::SetHandleInformation(mine, HANDLE_FLAG_INHERIT, 0);
    }
    const std::wstring wide_program = WideFromUtf8(program);
    std::wstring line;
    AppendArgument(line, wide_program);
    for (const std::string& arg : args) AppendArgument(line, WideFromUtf8(arg));

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in;
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION started{};
    if (::CreateProcessW(wide_program.c_str(), line.data(), nullptr, nullptr, TRUE,
                         CREATE_NO_WINDOW, nullptr, WideFromUtf8(folder).c_str(), &startup,
                         &started)) {
        impl_->process = started.hProcess;
        ::CloseHandle(started.hThread);
    } else {
        impl_->ended = true;
        impl_->status = -1;
        impl_->err_bytes = "cannot start " + program + ": " + Win32Reason(::GetLastError()) + "\n";
    }
    // The child holds its ends now: the pipes end when it does.
    Close(in);
    Close(out);
    Close(err);
    impl_->err_reader = std::thread([impl = impl_.get()] {
        ReadUntil(impl->err, impl->err_bytes, std::string::npos, kNoDeadline);
    });
}

ChildProcess::~ChildProcess() {
    if (!impl_->ended) ::TerminateProcess(impl_->process, 255);
    Wait();
}

void ChildProcess::Write(std::string_view bytes) {
    while (!bytes.empty() && impl_->in != nullptr) {
        DWORD put = 0;
        const DWORD size = DWORD(std::min<std::size_t>(bytes.size(), 1 << 20));
        if (!::WriteFile(impl_->in, bytes.data(), size, &put, nullptr)) return;
        bytes.remove_prefix(put);
    }
}

void ChildProcess::CloseInput() {
    Close(impl_->in);
}

const std::string& ChildProcess::ReadOutput(std::size_t size) {
    ReadUntil(impl_->out, impl_->out_bytes, size, Clock::now() + kOutputWait);
    return impl_->out_bytes;
}

void ChildProcess::CloseOutput() {
    Close(impl_->out);
}

ProcessResult ChildProcess::Wait() {
    CloseInput();
    ReadUntil(impl_->out, impl_->out_bytes, std::string::npos, kNoDeadline);
    Close(impl_->out);
    if (impl_->err_reader.joinable()) impl_->err_reader.join();
    Close(impl_->err);
    if (!impl_->ended) {
        ::WaitForSingleObject(impl_->process, INFINITE);
        DWORD code = 0;
        impl_->status = ::GetExitCodeProcess(impl_->process, &code) ? int(code) : -1;
        impl_->ended = true;
        Close(impl_->process);
    }
    return {impl_->status, impl_->out_bytes, impl_->err_bytes};
}

}  // namespace haojian::testing
