#include "core/platform/windows/windows_staged_file.h"

#include <windows.h>

#include <cerrno>
#include <utility>

#include "core/platform/windows/windows_temporary_names.h"
#include "core/platform/windows/windows_text.h"

namespace haojian {
namespace {

// How often, and how far apart, a move refused for a moment by another handle is tried again.
constexpr int kMoveAttempts = 20;
constexpr DWORD kMoveRetryMs = 5;

// A handle closed when its owner goes.
class Handle {
public:
    Handle() = default;
    explicit Handle(HANDLE h) : h_(h) {}
    ~Handle() { Close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return h_; }
    bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
    void reset(HANDLE h) {
        Close();
        h_ = h;
    }
    bool Close() {
        const bool ok = !valid() || ::CloseHandle(h_);
        h_ = INVALID_HANDLE_VALUE;
        return ok;
    }

private:
    HANDLE h_ = INVALID_HANDLE_VALUE;
};

bool SetDeletePending(HANDLE file, bool pending) {
    FILE_DISPOSITION_INFO info{};
    info.DeleteFile = pending;
    return ::SetFileInformationByHandle(file, FileDispositionInfo, &info, sizeof info) != 0;
}

bool WriteAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD n = 0;
        const DWORD want = DWORD(std::min<std::size_t>(bytes.size(), 1u << 30));
        if (!::WriteFile(file, bytes.data(), want, &n, nullptr)) return false;
        bytes.remove_prefix(n);
    }
    return true;
}

// The folder part of a path, with its separator; empty for the current folder.
std::wstring FolderOf(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    if (slash != std::wstring::npos) return path.substr(0, slash + 1);
    if (path.size() >= 2 && path[1] == L':') return path.substr(0, 2);
    return {};
}

class WindowsStagedFile final : public StagedFile {
public:
    WindowsStagedFile(std::string target, std::wstring wide, HANDLE claim, DWORD attributes,
                      bool direct)
        : target_(std::move(target)),
          wide_(std::move(wide)),
          claim_(claim),
          attributes_(attributes),
          direct_(direct) {}

    // Removes what earlier runs, ended at an unlucky moment, left in the target's folder.
    void RemoveLeftovers() {
        const std::size_t slash = target_.find_last_of("/\\");
        const std::string shown_folder =
            slash == std::string::npos ? std::string() : target_.substr(0, slash + 1);
        for (const std::wstring& name : windows_temporary_names::RemoveLeftovers(FolderOf(wide_)))
            notices_.push_back(
                {FileNotice::Kind::kLeftoverRemoved, shown_folder + Utf8FromWide(name)});
    }

    std::vector<FileNotice> TakeNotices() override { return std::exchange(notices_, {}); }

    void Write(std::string_view bytes) override {
        if (direct_) {
            if (!WriteAll(claim_.get(), bytes)) throw Failure(FileError::Op::Write);
            return;
        }
        if (!temporary_.valid()) MakeTemporary();
        if (!WriteAll(temporary_.get(), bytes)) throw Failure(FileError::Op::Write);
    }

    void Commit() override {
        if (direct_) {
            if (!claim_.Close()) throw Failure(FileError::Op::Close);
            return;
        }
        if (!temporary_.valid()) MakeTemporary();
        if (!::FlushFileBuffers(temporary_.get())) throw Failure(FileError::Op::Close);
        if (!SetDeletePending(temporary_.get(), false)) throw Failure(FileError::Op::Close);
        if (!temporary_.Close()) {
            const DWORD error = ::GetLastError();
            ::DeleteFileW(temporary_name_.c_str());
            throw Win32FileError(FileError::Op::Close, target_, error);
        }
        const bool existed = attributes_ != INVALID_FILE_ATTRIBUTES;
        // The target's own handle goes last, so that no other program writes it meanwhile.
        claim_.Close();
        // Another program (an indexer, a virus scanner, a writer in this folder looking for
        // leftovers) may hold the target or the replacement open for a moment: the move is
        // tried again for a short while before it counts as failed.
        BOOL moved = FALSE;
        for (int attempt = 0; !moved; ++attempt) {
            moved = existed ? ::ReplaceFileW(wide_.c_str(), temporary_name_.c_str(), nullptr,
                                             REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)
                            : ::MoveFileExW(temporary_name_.c_str(), wide_.c_str(),
                                            MOVEFILE_WRITE_THROUGH);
            const DWORD error = moved ? ERROR_SUCCESS : ::GetLastError();
            if (moved || attempt == kMoveAttempts ||
                (error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION)) {
                ::SetLastError(error);
                break;
            }
            ::Sleep(kMoveRetryMs);
        }
        if (!moved) {
            const DWORD error = ::GetLastError();
            ::DeleteFileW(temporary_name_.c_str());
            throw Win32FileError(FileError::Op::Rename, target_, error);
        }
        // The replacement shows as the target did; a new one is no longer hidden.
        DWORD shown = existed ? attributes_ : FILE_ATTRIBUTE_NORMAL;
        if (shown == 0) shown = FILE_ATTRIBUTE_NORMAL;
        ::SetFileAttributesW(wide_.c_str(), shown);
    }

private:
    FileError Failure(FileError::Op op) const {
        return Win32FileError(op, target_, ::GetLastError());
    }

    void MakeTemporary() {
        const std::wstring folder = FolderOf(wide_);
        for (unsigned attempt = 0;; ++attempt) {
            std::wstring name = folder + windows_temporary_names::MakeName(attempt);
            const HANDLE h = ::CreateFileW(name.c_str(), GENERIC_WRITE | DELETE, 0, nullptr,
                                           CREATE_NEW, FILE_ATTRIBUTE_HIDDEN, nullptr);
            if (h == INVALID_HANDLE_VALUE) {
                const DWORD error = ::GetLastError();
                if ((error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) &&
                    attempt < 100) {
                    continue;
                }
                throw Win32FileError(FileError::Op::Create, target_, error);
            }
            temporary_.reset(h);
            temporary_name_ = std::move(name);
            break;
        }
        // Marked for deletion at once: the system removes it when the process ends before
        // Commit, however it ends.
        if (!SetDeletePending(temporary_.get(), true)) {
            const DWORD error = ::GetLastError();
            temporary_.Close();
            ::DeleteFileW(temporary_name_.c_str());
            throw Win32FileError(FileError::Op::Create, target_, error);
        }
    }

    std::string target_;
    std::wstring wide_;
    Handle claim_;
    DWORD attributes_;  // INVALID_FILE_ATTRIBUTES: a new target
    bool direct_;
    Handle temporary_;
    std::wstring temporary_name_;
    std::vector<FileNotice> notices_;
};

std::unique_ptr<StagedFile> Staged(const std::string& target, const std::wstring& wide,
                                   HANDLE claim, DWORD attributes) {
    auto staged = std::make_unique<WindowsStagedFile>(target, wide, claim, attributes, false);
    staged->RemoveLeftovers();
    return staged;
}

}  // namespace

std::unique_ptr<StagedFile> CreateWindowsStagedFile(const std::string& target) {
    // The full path: ReplaceFileW refuses relative names (ERROR_DIRECTORY) on some systems, and
    // the temporary file's folder is then plain.
    std::wstring wide = WidePath(target);
    if (!wide.starts_with(L"\\\\?\\")) {
        const DWORD n = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
        std::wstring full(n, L'\0');
        const DWORD got = ::GetFullPathNameW(wide.c_str(), n, full.data(), nullptr);
        if (got > 0 && got < n) {
            full.resize(got);
            wide = full;
        }
    }
    const auto fail = [&](int code) { return FileError(FileError::Op::Create, target, code); };
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        throw fail(EISDIR);
    }
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = ::GetLastError();
        if (error != ERROR_FILE_NOT_FOUND)
            throw Win32FileError(FileError::Op::Create, target, error);
        // A new file: its folder must be there.
        const std::wstring folder = FolderOf(wide);
        if (!folder.empty()) {
            const DWORD folder_attributes = ::GetFileAttributesW(folder.c_str());
            if (folder_attributes == INVALID_FILE_ATTRIBUTES) throw fail(ENOENT);
            if ((folder_attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) throw fail(ENOTDIR);
        }
        return Staged(target, wide, INVALID_HANDLE_VALUE, INVALID_FILE_ATTRIBUTES);
    }
    // A read-only target is refused, as the system refuses writing it (a process of an
    // administrator, or wine's as root, might otherwise get through).
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) throw fail(EACCES);
    // Held open until Commit, others may only read: a program writing the target now refuses
    // this (a sharing violation), and none may start writing it meanwhile. A second run putting a
    // result in its place is refused by a lock on a byte far past the end, which no reader of
    // the file meets.
    const HANDLE claim = ::CreateFileW(wide.c_str(), GENERIC_READ | DELETE, FILE_SHARE_READ,
                                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (claim == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) {
            throw FileError(FileError::Op::Create, target, EWOULDBLOCK, Win32Reason(error),
                            int(error));
        }
        throw Win32FileError(FileError::Op::Create, target, error);
    }
    if (::GetFileType(claim) != FILE_TYPE_DISK) {
        // A device or a pipe is written as it is.
        ::CloseHandle(claim);
        const HANDLE device =
            ::CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          OPEN_EXISTING, 0, nullptr);
        if (device == INVALID_HANDLE_VALUE) {
            throw Win32FileError(FileError::Op::Create, target, ::GetLastError());
        }
        return std::make_unique<WindowsStagedFile>(target, wide, device, attributes, true);
    }
    OVERLAPPED past_end{};
    past_end.Offset = 0xFFFFFFF0u;
    past_end.OffsetHigh = 0x7FFFFFFFu;
    if (!::LockFileEx(claim, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                      &past_end)) {
        const DWORD error = ::GetLastError();
        ::CloseHandle(claim);
        throw FileError(FileError::Op::Create, target, EWOULDBLOCK, Win32Reason(error), int(error));
    }
    return Staged(target, wide, claim, attributes);
}

std::unique_ptr<StagedFile> CreateWindowsDirectFile(const std::string& target, HANDLE handle) {
    return std::make_unique<WindowsStagedFile>(target, WidePath(target), handle,
                                               INVALID_FILE_ATTRIBUTES, true);
}

}  // namespace haojian
