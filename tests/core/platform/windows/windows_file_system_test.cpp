// The real file system on Windows: results put in place whole, nothing left beside them, targets
// that may not be written refused, any file name.
#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "core/files/file_system.h"
#include "core/platform/windows/windows_temporary_names.h"
#include "core/platform/windows/windows_text.h"
#include "tests/support/test_files.h"

namespace haojian {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;

// The names in folder, hidden ones too.
std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry :
         std::filesystem::directory_iterator(std::u8string(folder.begin(), folder.end()))) {
        const std::u8string name = entry.path().filename().u8string();
        names.emplace_back(name.begin(), name.end());
    }
    return names;
}

int CreateCode(const std::string& target) {
    try {
        RealFileSystem().CreateReplacement(target)->Write("new");
    } catch (const FileError& e) {
        EXPECT_EQ(e.op(), FileError::Op::Create);
        return e.code();
    }
    return 0;
}

TEST(WindowsFileSystem, ReplacesWholeKeepsAttributesAndLeavesNothingBeside) {
    const TempDir dir;
    const std::string target = dir.Write("out.txt", "old");
    ::SetFileAttributesW(WidePath(target).c_str(), FILE_ATTRIBUTE_ARCHIVE);
    {
        ReplacementFile file(RealFileSystem(), target);
        file.file().Write("new ");
        file.file().Write("text");
        file.Commit();
    }
    EXPECT_EQ(ReadFileBytes(target), "new text");
    EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"out.txt"});
    EXPECT_EQ(::GetFileAttributesW(WidePath(target).c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);

    // A new target is made visible; one abandoned leaves nothing at all.
    const std::string fresh = dir.path() + "fresh.txt";
    ReplacementFile(RealFileSystem(), fresh).Commit();
    EXPECT_EQ(ReadFileBytes(fresh), "");
    EXPECT_EQ(::GetFileAttributesW(WidePath(fresh).c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
    {
        ReplacementFile abandoned(RealFileSystem(), target);
        abandoned.file().Write("lost");
    }
    EXPECT_EQ(ReadFileBytes(target), "new text");
    EXPECT_EQ(Names(dir.path()).size(), 2u);
}

// The replacement is given the old file's permissions and attributes before it takes the name.
TEST(WindowsFileSystem, TheReplacementKeepsPermissionsAndAttributes) {
    const TempDir dir;
    const std::string target = dir.Write("kept.txt", "old");
    const std::wstring wide = WidePath(target);
    const auto dacl_text = [&] {
        PSECURITY_DESCRIPTOR sd = nullptr;
        PACL dacl = nullptr;
        EXPECT_EQ(::GetNamedSecurityInfoW(wide.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                                          nullptr, nullptr, &dacl, nullptr, &sd),
                  DWORD(ERROR_SUCCESS));
        wchar_t* text = nullptr;
        ::ConvertSecurityDescriptorToStringSecurityDescriptorW(
            sd, SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &text, nullptr);
        const std::string result = text ? Utf8FromWide(text) : std::string();
        ::LocalFree(text);
        ::LocalFree(sd);
        return result;
    };
    const std::string as_made = dacl_text();
    // Its own list, not the folder's: only its owner may use it.
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR owned = nullptr;
    ASSERT_EQ(::GetNamedSecurityInfoW(wide.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION,
                                      &owner, nullptr, nullptr, nullptr, &owned),
              DWORD(ERROR_SUCCESS));
    wchar_t* owner_text = nullptr;
    ASSERT_TRUE(::ConvertSidToStringSidW(owner, &owner_text));
    const std::wstring sddl = L"D:P(A;;FA;;;" + std::wstring(owner_text) + L")";
    ::LocalFree(owner_text);
    ::LocalFree(owned);
    PSECURITY_DESCRIPTOR wanted = nullptr;
    ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorW(
        sddl.c_str(), SDDL_REVISION_1, &wanted, nullptr));
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    PACL wanted_dacl = nullptr;
    ::GetSecurityDescriptorDacl(wanted, &present, &wanted_dacl, &defaulted);
    ASSERT_EQ(
        ::SetNamedSecurityInfoW(const_cast<wchar_t*>(wide.c_str()), SE_FILE_OBJECT,
                                DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                                nullptr, nullptr, wanted_dacl, nullptr),
        DWORD(ERROR_SUCCESS));
    ::LocalFree(wanted);
    // Wine keeps no list of a file's own (it shows the Unix mode as one), a system does.
    const std::string before = dacl_text();
    const bool lists_kept = before != as_made;
    ASSERT_TRUE(::SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));

    ReplacementFile file(RealFileSystem(), target);
    file.file().Write("new");
    file.Commit();
    EXPECT_EQ(ReadFileBytes(target), "new");
    if (lists_kept) {
        EXPECT_EQ(dacl_text(), before);
    }
    WIN32_FILE_ATTRIBUTE_DATA now{};
    ASSERT_TRUE(::GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &now));
    EXPECT_EQ(now.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE),
              DWORD(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"kept.txt"});
}

// Another writer of the same target, a program writing it, a read-only target: refused, the
// target untouched.
TEST(WindowsFileSystem, RefusesTargetsThatMayNotBeWrittenNow) {
    const TempDir dir;
    const std::string target = dir.Write("out.txt", "old");
    {
        const std::unique_ptr<StagedFile> first = RealFileSystem().CreateReplacement(target);
        EXPECT_EQ(CreateCode(target), EWOULDBLOCK);
        first->Write("first");
        first->Commit();
    }
    EXPECT_EQ(ReadFileBytes(target), "first");

    const HANDLE other = ::CreateFileW(WidePath(target).c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                       nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    EXPECT_EQ(CreateCode(target), EWOULDBLOCK);
    // The system's own code stays with it, for messages that give the system's numbers.
    try {
        RealFileSystem().CreateReplacement(target);
        ADD_FAILURE() << "a target another program writes was taken";
    } catch (const FileError& e) {
        EXPECT_EQ(e.system_code(), ERROR_SHARING_VIOLATION);
    }
    ::CloseHandle(other);

    ::SetFileAttributesW(WidePath(target).c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(CreateCode(target), EACCES);
    ::SetFileAttributesW(WidePath(target).c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadFileBytes(target), "first");

    EXPECT_EQ(CreateCode(dir.path() + "no folder/out.txt"), ENOENT);
    EXPECT_EQ(CreateCode(dir.path()), EISDIR);
    EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"out.txt"});
}

// Chinese names, and one with a character outside GBK and the basic plane, in a path longer
// than the classic limit.
TEST(WindowsFileSystem, AnyNameAndLongPaths) {
    const TempDir dir;
    std::string folder = dir.path();
    while (folder.size() < 300) {
        folder += "长路径folder/";
        ASSERT_TRUE(::CreateDirectoryW(WidePath(folder).c_str(), nullptr)) << folder;
    }
    for (const std::string name : {"号码表.txt", "\xF0\x9F\x98\x80 \xE2\x82\xA9.txt"}) {
        for (const std::string& where : {dir.path(), folder}) {
            const std::string path = where + name;
            ReplacementFile file(RealFileSystem(), path);
            file.file().Write("13800138000\n");
            file.Commit();
            EXPECT_TRUE(RealFileSystem().IsFile(path)) << path;
            EXPECT_EQ(ReadWholeFile(RealFileSystem(), path), "13800138000\n") << path;
            EXPECT_EQ(RealFileSystem().SizeHint(path), 12u);
        }
    }
    try {
        RealFileSystem().OpenRead(dir.path() + "缺.txt");
        ADD_FAILURE() << "opened a missing file";
    } catch (const FileError& e) {
        EXPECT_EQ(e.code(), ENOENT);
        EXPECT_FALSE(e.reason().empty());
    }
    // The executable's folder, as the database beside it is found.
    EXPECT_TRUE(RealFileSystem().IsFile(ExecutableDirectory() + "core_tests.exe"));
}

// Hidden files that earlier runs left when ended at an unlucky moment: the next run writing into
// their folder removes a copy of a result beside the target it was to replace, and keeps any
// that may be the only copy of something; says both; touches none that may be someone's live
// work or not ours.
TEST(WindowsFileSystem, LeftoversOfEndedRunsAreRemovedOnlyWhereNothingIsLost) {
    const TempDir dir;
    const auto wide = [&](const std::string& name) { return WidePath(dir.path() + name); };
    // The name a run writing name would give its hidden file.
    const auto hidden_for = [&](const std::string& name) {
        wchar_t full[MAX_PATH];
        ::GetFullPathNameW(wide(name).c_str(), MAX_PATH, full, nullptr);
        return Utf8FromWide(
            windows_temporary_names::MakeName(windows_temporary_names::Tag(full), 0));
    };
    // Last written in 2020, long before this run.
    const auto age = [&](const std::string& name) {
        const HANDLE h = ::CreateFileW(wide(name).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                       OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE) << name;
        const ULONGLONG ticks = 132223104000000000ULL;
        const FILETIME t{DWORD(ticks), DWORD(ticks >> 32)};
        EXPECT_TRUE(::SetFileTime(h, nullptr, nullptr, &t));
        ::CloseHandle(h);
    };
    dir.Write("out.txt", "old");
    const std::string copy = hidden_for("out.txt");     // a copy of a result beside out.txt
    const std::string orphan = hidden_for("gone.txt");  // the only copy: no gone.txt
    ASSERT_NE(copy.substr(0, 13), orphan.substr(0, 13));
    // An earlier version's, whose target cannot be told.
    for (const std::string& name :
         {copy, orphan, std::string(".haojian-aaaaaa"), std::string(".haojian-bbbbbb"),
          std::string(".haojian-dd"), std::string("keep.txt")}) {
        dir.Write(name, "old");
        age(name);
    }
    const HANDLE held = ::CreateFileW(wide(".haojian-bbbbbb").c_str(), GENERIC_READ, 0, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    dir.Write(".haojian-cccccc", "written since this run started");
    ASSERT_TRUE(
        ::CreateHardLinkW(wide(".haojian-eeeeee").c_str(), wide("keep.txt").c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryW(wide(".haojian-ffffff").c_str(), nullptr));
    age(".haojian-ffffff");

    const std::unique_ptr<StagedFile> file =
        RealFileSystem().CreateReplacement(dir.path() + "out.txt");
    std::vector<std::string> removed;
    std::vector<std::string> kept;
    for (const FileNotice& notice : file->TakeNotices()) {
        ASSERT_TRUE(notice.path.starts_with(dir.path())) << notice.path;
        const std::string name = notice.path.substr(dir.path().size());
        if (notice.kind == FileNotice::Kind::kLeftoverRemoved) removed.push_back(name);
        if (notice.kind == FileNotice::Kind::kLeftoverKept) kept.push_back(name);
    }
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(removed, std::vector<std::string>{copy});
    std::vector<std::string> expected_kept{".haojian-aaaaaa", orphan};
    std::sort(expected_kept.begin(), expected_kept.end());
    EXPECT_EQ(kept, expected_kept);
    file->Write("new");
    file->Commit();
    EXPECT_TRUE(file->TakeNotices().empty());
    ::CloseHandle(held);

    std::vector<std::string> names = Names(dir.path());
    std::sort(names.begin(), names.end());
    std::vector<std::string> expected{".haojian-aaaaaa",
                                      ".haojian-bbbbbb",
                                      ".haojian-cccccc",
                                      ".haojian-dd",
                                      ".haojian-eeeeee",
                                      ".haojian-ffffff",
                                      orphan,
                                      "keep.txt",
                                      "out.txt"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names, expected);
}

// A file being read may be read by others, not written.
TEST(WindowsFileSystem, AFileBeingReadMayBeReadButNotWritten) {
    const TempDir dir;
    const std::string list = dir.Write("list.txt", "13800138000\n");
    const std::unique_ptr<InputFile> file = RealFileSystem().OpenRead(list);
    EXPECT_EQ(ReadWholeFile(RealFileSystem(), list), "13800138000\n");
    const HANDLE writer =
        ::CreateFileW(WidePath(list).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                      nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(writer, INVALID_HANDLE_VALUE);
    if (writer != INVALID_HANDLE_VALUE) ::CloseHandle(writer);
}

}  // namespace
}  // namespace haojian
