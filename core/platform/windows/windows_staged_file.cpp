#include "core/platform/windows/windows_staged_file.h"

#include <windows.h>

#include <aclapi.h>

#include <cerrno>
#include <cstring>
#include <utility>
#include <vector>

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

// The attributes a file may be given (the rest are the file system's to set).
constexpr DWORD kSettableAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                      FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                      FILE_ATTRIBUTE_NOT_CONTENT_INDEXED | FILE_ATTRIBUTE_OFFLINE |
                                      FILE_ATTRIBUTE_TEMPORARY;

// The system's own form of a full path ("\??\C:\x", "\??\UNC\server\share\x"), which a
// rename by handle takes as it stands.
std::wstring NtPath(const std::wstring& full) {
    if (full.starts_with(L"\\\\?\\")) return L"\\??\\" + full.substr(4);
    if (full.starts_with(L"\\\\")) return L"\\??\\UNC\\" + full.substr(2);
    return L"\\??\\" + full;
}

// Gives the file open as file the name to in one step, over a file of that name when replace;
// false with the error set.
bool RenameByHandle(HANDLE file, const std::wstring& to, bool replace) {
    const std::wstring name = NtPath(to);
    std::vector<unsigned char> buffer(sizeof(FILE_RENAME_INFO) + name.size() * sizeof(wchar_t));
    auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    info->ReplaceIfExists = replace;
    info->RootDirectory = nullptr;
    info->FileNameLength = DWORD(name.size() * sizeof(wchar_t));
    std::memcpy(info->FileName, name.c_str(), (name.size() + 1) * sizeof(wchar_t));
    return ::SetFileInformationByHandle(file, FileRenameInfo, info, DWORD(buffer.size())) != 0;
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
          tag_(windows_temporary_names::Tag(wide_)),
          claim_(claim),
          attributes_(attributes),
          direct_(direct) {}

    // Removes what earlier runs, ended at an unlucky moment, left in the target's folder, where
    // it is sure to be no one's only copy; says what it found.
    void RemoveLeftovers() {
        const std::size_t slash = target_.find_last_of("/\\");
        const std::string shown_folder =
            slash == std::string::npos ? std::string() : target_.substr(0, slash + 1);
        const windows_temporary_names::Leftovers found = windows_temporary_names::RemoveLeftovers(
            FolderOf(wide_), tag_, attributes_ != INVALID_FILE_ATTRIBUTES);
        for (const std::wstring& name : found.removed) {
            notices_.push_back(
                {FileNotice::Kind::kLeftoverRemoved, shown_folder + Utf8FromWide(name)});
        }
        for (const std::wstring& name : found.kept) {
            notices_.push_back(
                {FileNotice::Kind::kLeftoverKept, shown_folder + Utf8FromWide(name)});
        }
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

    // The complete file takes the target's name in one rename, over the old file if any, so
    // that the name holds the old file or the new one at every moment. It is given the old
    // file's permissions and attributes first, while still marked for deletion: a run ended
    // before the rename leaves at most a hidden copy of its result beside the old file.
    void Commit() override {
        if (direct_) {
            if (!claim_.Close()) throw Failure(FileError::Op::Close);
            return;
        }
        if (!temporary_.valid()) MakeTemporary();
        if (!::FlushFileBuffers(temporary_.get())) Abandon(FileError::Op::Close);
        const bool existed = attributes_ != INVALID_FILE_ATTRIBUTES;
        FILE_BASIC_INFO basic{};
        basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;  // a new target is no longer hidden
        if (existed) {
            KeepSecurity();
            FILE_BASIC_INFO old{};
            if (!::GetFileInformationByHandleEx(claim_.get(), FileBasicInfo, &old, sizeof old)) {
                Abandon(FileError::Op::Rename);
            }
            basic.CreationTime = old.CreationTime;
            basic.FileAttributes = old.FileAttributes & kSettableAttributes;
            if (basic.FileAttributes == 0) basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
        }
        if (!::SetFileInformationByHandle(temporary_.get(), FileBasicInfo, &basic, sizeof basic)) {
            Abandon(FileError::Op::Rename);
        }
        // The target's own handle goes last, so that no other program writes it meanwhile.
        claim_.Close();
        if (!SetDeletePending(temporary_.get(), false)) Abandon(FileError::Op::Close);
        // Another program (an indexer, a virus scanner, a reader of the target) may hold the
        // target open for a moment: the rename is tried again for a short while before it
        // counts as failed.
        for (int attempt = 0; !RenameByHandle(temporary_.get(), wide_, existed); ++attempt) {
            const DWORD error = ::GetLastError();
            if (attempt == kMoveAttempts ||
                (error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION &&
                 error != ERROR_ACCESS_DENIED)) {
                ::SetLastError(error);
                Abandon(FileError::Op::Rename);
            }
            ::Sleep(kMoveRetryMs);
        }
        // The new name on disk as well: the file is in place already, nothing to undo.
        ::FlushFileBuffers(temporary_.get());
        temporary_.Close();
    }

private:
    FileError Failure(FileError::Op op) const {
        return Win32FileError(op, target_, ::GetLastError());
    }

    // Throws the failure of op, the result marked for deletion again and closed, so that
    // nothing is left.
    [[noreturn]] void Abandon(FileError::Op op) {
        const DWORD error = ::GetLastError();
        SetDeletePending(temporary_.get(), true);
        temporary_.Close();
        throw Win32FileError(op, target_, error);
    }

    // Gives the result the old file's permissions (its access control list, inherited from
    // the folder or its own as the old one's was), and its owner where the process may set it.
    // A result that could not be given them is not put in place: it would grant what the old
    // file did not.
    void KeepSecurity() {
        PSID owner = nullptr;
        PSID group = nullptr;
        PACL dacl = nullptr;
        PSECURITY_DESCRIPTOR old = nullptr;
        DWORD error = ::GetSecurityInfo(
            claim_.get(), SE_FILE_OBJECT,
            OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
            &owner, &group, &dacl, nullptr, &old);
        if (error != ERROR_SUCCESS) NotKept(error);
        SECURITY_DESCRIPTOR_CONTROL control = 0;
        DWORD revision = 0;
        ::GetSecurityDescriptorControl(old, &control, &revision);
        const SECURITY_INFORMATION inheritance = (control & SE_DACL_PROTECTED) != 0
                                                     ? PROTECTED_DACL_SECURITY_INFORMATION
                                                     : UNPROTECTED_DACL_SECURITY_INFORMATION;
        error = ::SetSecurityInfo(temporary_.get(), SE_FILE_OBJECT,
                                  DACL_SECURITY_INFORMATION | inheritance, nullptr, nullptr, dacl,
                                  nullptr);
        if (error == ERROR_SUCCESS) {
            PSID made_owner = nullptr;
            PSECURITY_DESCRIPTOR made = nullptr;
            if (owner != nullptr &&
                ::GetSecurityInfo(temporary_.get(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION,
                                  &made_owner, nullptr, nullptr, nullptr, &made) == ERROR_SUCCESS &&
                !::EqualSid(owner, made_owner) &&
                ::SetSecurityInfo(temporary_.get(), SE_FILE_OBJECT,
                                  OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION, owner,
                                  group, nullptr, nullptr) != ERROR_SUCCESS) {
                // Only a privileged process may give a file away.
                notices_.push_back({FileNotice::Kind::kOwnerNotKept, target_});
            }
            ::LocalFree(made);
        }
        ::LocalFree(old);
        if (error != ERROR_SUCCESS) NotKept(error);
    }

    [[noreturn]] void NotKept(DWORD error) {
        SetDeletePending(temporary_.get(), true);
        temporary_.Close();
        throw FileError(FileError::Op::Rename, target_, ErrnoFromWin32(error),
                        "Its permissions could not be kept: " + Win32Reason(error) +
                            ". The file was left as it was");
    }

    void MakeTemporary() {
        const std::wstring folder = FolderOf(wide_);
        for (unsigned attempt = 0;; ++attempt) {
            std::wstring name = folder + windows_temporary_names::MakeName(tag_, attempt);
            // READ_CONTROL and WRITE_DAC, which its owner always has, to give it the old
            // file's permissions.
            const HANDLE h =
                ::CreateFileW(name.c_str(), GENERIC_WRITE | DELETE | READ_CONTROL | WRITE_DAC, 0,
                              nullptr, CREATE_NEW, FILE_ATTRIBUTE_HIDDEN, nullptr);
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
    std::wstring tag_;  // begins the names of its temporary files
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
