// The window's words for failures: its rules by the work it was doing, in GBK.
#include <QtTest>
#include <cerrno>
#include <new>
#include <string>

#include "core/base/error.h"
#include "core/merge/merge.h"
#include "core/text/fixed_texts.h"
#include "core/text/gbk.h"
#include "window/failure_text.h"

using namespace haojian;

namespace {

QByteArray Bytes(const std::string& text) {
    return QByteArray::fromStdString(text);
}

// A failure of op on path with a given reason.
FileError Failed(FileError::Op op, const std::string& path, int code, const std::string& reason) {
    return FileError(op, path, code, reason);
}

}  // namespace

class FailureTextTest : public QObject {
    Q_OBJECT
private slots:
    // Reading a list or the database names the file and the reason, both turned into GBK.
    void ReadingNamesTheFileAndTheReason() {
        const std::string path = "/home/\xE5\xBC\xA0/\xE5\x8D\x97.txt";  // 张, 南 in UTF-8
        const std::string reason = "\xE6\x9D\x83\xE9\x99\x90\xE4\xB8\x8D\xE5\xA4\x9F";  // 权限不够
        const std::string gbk_path = GbkFromUtf8(path);
        QCOMPARE(Bytes(WindowFailureText(Failed(FileError::Op::Open, path, EACCES, reason),
                                         WindowWork::Read)),
                 Bytes("Cannot open file \"" + gbk_path + "\". " + GbkFromUtf8(reason)));
        QCOMPARE(Bytes(WindowFailureText(
                     Failed(FileError::Op::Read, path, 0, std::string(kSizeChangedReason)),
                     WindowWork::Read)),
                 Bytes("Stream read error on file \"" + gbk_path + "\". " +
                       std::string(kSizeChangedReason)));
    }

    // A merge names the file only where it could not open or make one.
    void MergeByOperation() {
        const auto text = [](FileError::Op op, const std::string& path) {
            return Bytes(WindowFailureText(Failed(op, path, EACCES, "Permission denied"),
                                           WindowWork::Merge));
        };
        QCOMPARE(text(FileError::Op::Open, "a.txt"),
                 Bytes("Cannot open file \"a.txt\". Permission denied"));
        QCOMPARE(text(FileError::Op::Read, "a.txt"), Bytes("Stream read error"));
        QCOMPARE(text(FileError::Op::Write, "out.txt"), Bytes("Stream write error"));
        QCOMPARE(text(FileError::Op::Close, "out.txt"), Bytes("Stream write error"));
        QCOMPARE(text(FileError::Op::Create, "out.txt"),
                 Bytes("Cannot create file \"out.txt\". Permission denied"));
        QCOMPARE(text(FileError::Op::Rename, "out.txt"),
                 Bytes("Cannot create file \"out.txt\". Permission denied"));
        const MergeCutError cut("/tmp/\xE5\x8D\x97.txt", 3, 2);
        QCOMPARE(Bytes(WindowFailureText(cut, WindowWork::Merge)),
                 Bytes("File \"/tmp/" + GbkFromUtf8("\xE5\x8D\x97") +
                       ".txt\" holds a NUL byte at offset 3: the merged text ends there"));
    }

    // Export and the statistics CSV go by the system's number alone, whatever the operation.
    void SavingByTheSystemsNumber() {
        const auto text = [](FileError::Op op, int code) {
            return Bytes(WindowFailureText(Failed(op, "out.txt", code, "any"), WindowWork::Save));
        };
        for (const int code : {ENOENT, ENOTDIR, ENAMETOOLONG, EINVAL}) {
            QCOMPARE(text(FileError::Op::Create, code), Bytes("Invalid filename"));
        }
        for (const int code : {EMFILE, ENFILE}) {
            QCOMPARE(text(FileError::Op::Create, code), Bytes("Too many open files"));
        }
        for (const int code : {EACCES, EPERM, EROFS, EISDIR}) {
            QCOMPARE(text(FileError::Op::Rename, code), Bytes("File access denied"));
        }
        QCOMPARE(text(FileError::Op::Write, ENOSPC), Bytes("I/O error 28"));
        QCOMPARE(text(FileError::Op::Create, EWOULDBLOCK), Bytes("I/O error 11"));
        QCOMPARE(text(FileError::Op::Rename, EEXIST), Bytes("I/O error 17"));
        // Where the system's own number differs from the C library's (a Win32 error), the
        // number shown is the system's: a sharing violation 32, a full disk 112.
        const auto win32 = [](FileError::Op op, int code, int system_code) {
            return Bytes(WindowFailureText(FileError(op, "out.txt", code, "any", system_code),
                                           WindowWork::Save));
        };
        QCOMPARE(win32(FileError::Op::Create, EWOULDBLOCK, 32), Bytes("I/O error 32"));
        QCOMPARE(win32(FileError::Op::Write, ENOSPC, 112), Bytes("I/O error 112"));
        QCOMPARE(win32(FileError::Op::Create, EACCES, 5), Bytes("File access denied"));
    }

    void OtherFailures() {
        const Error refusal{std::string(text::kRefuseNoList)};
        QCOMPARE(Bytes(WindowFailureText(refusal, WindowWork::Read)),
                 Bytes(std::string(text::kRefuseNoList)));
        QCOMPARE(Bytes(WindowFailureText(std::bad_alloc(), WindowWork::Merge)),
                 Bytes("Out of memory"));
        QCOMPARE(Bytes(WindowFailureText(std::runtime_error("odd"), WindowWork::Save)),
                 Bytes("odd"));
    }

    // A full stop follows a message whose last byte sorts after it: every double-byte ending.
    void ErrorBoxFullStop() {
        QCOMPARE(Bytes(ErrorBoxText(text::kRefuseNoList)),
                 Bytes(std::string(text::kRefuseNoList) + "."));
        QCOMPARE(Bytes(ErrorBoxText("I/O error 28")), Bytes("I/O error 28."));
        QCOMPARE(Bytes(ErrorBoxText("Stream read error.")), Bytes("Stream read error."));
        QCOMPARE(Bytes(ErrorBoxText("done!")), Bytes("done!"));  // "!" sorts before "."
        QCOMPARE(Bytes(ErrorBoxText("")), Bytes(""));
    }
};

QTEST_MAIN(FailureTextTest)
#include "failure_text_test.moc"
