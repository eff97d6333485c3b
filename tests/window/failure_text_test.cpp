// The window's words for failures: its rules by the work it was doing, in GBK. Both windows
// use them, so they run in both build trees.
#include "window/failure_text.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <new>
#include <stdexcept>
#include <string>

#include "core/base/error.h"
#include "core/merge/merge.h"
#include "core/text/fixed_texts.h"
#include "core/text/gbk.h"

namespace haojian {
namespace {

FileError Failed(FileError::Op op, const std::string& path, int code, const std::string& reason) {
    return FileError(op, path, code, reason);
}

// Reading a list or the database names the file and the reason, both turned into GBK.
TEST(WindowFailureText, ReadingNamesTheFileAndTheReason) {
    const std::string path = "/home/\xE5\xBC\xA0/\xE5\x8D\x97.txt";  // 张, 南 in UTF-8
    const std::string reason = "\xE6\x9D\x83\xE9\x99\x90\xE4\xB8\x8D\xE5\xA4\x9F";  // 权限不够
    const std::string gbk_path = GbkFromUtf8(path);
    EXPECT_EQ(
        WindowFailureText(Failed(FileError::Op::Open, path, EACCES, reason), WindowWork::Read),
        "Cannot open file \"" + gbk_path + "\". " + GbkFromUtf8(reason));
    EXPECT_EQ(
        WindowFailureText(Failed(FileError::Op::Read, path, 0, std::string(kSizeChangedReason)),
                          WindowWork::Read),
        "Stream read error on file \"" + gbk_path + "\". " + std::string(kSizeChangedReason));
}

// A merge names the file only where it could not open or make one.
TEST(WindowFailureText, MergeByOperation) {
    const auto text = [](FileError::Op op, const std::string& path) {
        return WindowFailureText(Failed(op, path, EACCES, "Permission denied"), WindowWork::Merge);
    };
    EXPECT_EQ(text(FileError::Op::Open, "a.txt"), "Cannot open file \"a.txt\". Permission denied");
    EXPECT_EQ(text(FileError::Op::Read, "a.txt"), "Stream read error");
    EXPECT_EQ(text(FileError::Op::Write, "out.txt"), "Stream write error");
    EXPECT_EQ(text(FileError::Op::Close, "out.txt"), "Stream write error");
    EXPECT_EQ(text(FileError::Op::Create, "out.txt"),
              "Cannot create file \"out.txt\". Permission denied");
    EXPECT_EQ(text(FileError::Op::Rename, "out.txt"),
              "Cannot create file \"out.txt\". Permission denied");
    const MergeCutError cut("/tmp/\xE5\x8D\x97.txt", 3, 2);
    EXPECT_EQ(WindowFailureText(cut, WindowWork::Merge),
              "File \"/tmp/" + GbkFromUtf8("\xE5\x8D\x97") +
                  ".txt\" holds a NUL byte at offset 3: the merged text ends there");
}

// Export and the statistics CSV go by the system's number alone, whatever the operation.
TEST(WindowFailureText, SavingByTheSystemsNumber) {
    const auto text = [](FileError::Op op, int code) {
        return WindowFailureText(Failed(op, "out.txt", code, "any"), WindowWork::Save);
    };
    for (const int code : {ENOENT, ENOTDIR, ENAMETOOLONG, EINVAL}) {
        EXPECT_EQ(text(FileError::Op::Create, code), "Invalid filename") << code;
    }
    for (const int code : {EMFILE, ENFILE}) {
        EXPECT_EQ(text(FileError::Op::Create, code), "Too many open files") << code;
    }
    for (const int code : {EACCES, EPERM, EROFS, EISDIR}) {
        EXPECT_EQ(text(FileError::Op::Rename, code), "File access denied") << code;
    }
    // Any other number is shown as it is; the C library's numbers differ between platforms.
    for (const int code : {ENOSPC, EAGAIN, EEXIST}) {
        EXPECT_EQ(text(FileError::Op::Write, code), "I/O error " + std::to_string(code));
    }
    EXPECT_EQ(text(FileError::Op::Write, ENOSPC), "I/O error 28");
    // Where the system's own number differs from the C library's (a Win32 error), the number
    // shown is the system's: a sharing violation 32, a full disk 112.
    const auto win32 = [](FileError::Op op, int code, int system_code) {
        return WindowFailureText(FileError(op, "out.txt", code, "any", system_code),
                                 WindowWork::Save);
    };
    EXPECT_EQ(win32(FileError::Op::Create, EWOULDBLOCK, 32), "I/O error 32");
    EXPECT_EQ(win32(FileError::Op::Write, ENOSPC, 112), "I/O error 112");
    EXPECT_EQ(win32(FileError::Op::Create, EACCES, 5), "File access denied");
}

TEST(WindowFailureText, OtherFailures) {
    const Error refusal{std::string(text::kRefuseNoList)};
    EXPECT_EQ(WindowFailureText(refusal, WindowWork::Read), std::string(text::kRefuseNoList));
    EXPECT_EQ(WindowFailureText(std::bad_alloc(), WindowWork::Merge), "Out of memory");
    EXPECT_EQ(WindowFailureText(std::runtime_error("odd"), WindowWork::Save), "odd");
}

// A full stop follows a message whose last byte sorts after it: every double-byte ending.
TEST(ErrorBoxText, FullStopAfterBytesThatSortAfterIt) {
    EXPECT_EQ(ErrorBoxText(text::kRefuseNoList), std::string(text::kRefuseNoList) + ".");
    EXPECT_EQ(ErrorBoxText("I/O error 28"), "I/O error 28.");
    EXPECT_EQ(ErrorBoxText("Stream read error."), "Stream read error.");
    EXPECT_EQ(ErrorBoxText("done!"), "done!");  // "!" sorts before "."
    EXPECT_EQ(ErrorBoxText(""), "");
}

}  // namespace
}  // namespace haojian
