#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/error.h"

namespace haojian {

// A file open for reading.
class InputFile {
public:
    virtual ~InputFile() = default;
    // Reads up to size bytes; 0 at the end of the file. Throws FileError (Read).
    virtual std::size_t Read(char* buffer, std::size_t size) = 0;
    // The size of a regular file when it was opened, which reading must then give exactly; 0
    // when the size is unknown (a pipe, a device, an empty file), read to its end.
    virtual std::uint64_t Size() const = 0;
    // Whether a Read would give something (data or the end) without waiting: false only while
    // a pipe or terminal waits for more. Readers that gather input ask it so as to hand on
    // what they have rather than wait.
    virtual bool InputAtHand() { return true; }
    // Moves to offset of a regular file, for readers of formats that are not read front to
    // back (a zip's directory is at its end). False when the file cannot seek (a pipe).
    // Throws FileError (Read).
    virtual bool Seek(std::uint64_t offset) {
        (void)offset;
        return false;
    }
};

// A file open for writing. Closing is explicit so that its failure is seen; a file destroyed
// without Close is closed quietly.
class OutputFile {
public:
    virtual ~OutputFile() = default;
    // Writes all of bytes or throws FileError (Write).
    virtual void Write(std::string_view bytes) = 0;
    // Flushes and closes; throws FileError (Close).
    virtual void Close() = 0;
};

class StagedFile;

// The core's only way to the file system, so that tests can make any one operation fail.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // True when a regular file (or a link to one) is at path; a directory counts as no file.
    virtual bool IsFile(const std::string& path) = 0;
    // Opens for reading; throws FileError (Open).
    virtual std::unique_ptr<InputFile> OpenRead(const std::string& path) = 0;
    // The same, where opening may wait without a sign of why: for a named pipe that no program
    // has opened for writing, waiting is called once a second has passed, and the wait goes on.
    virtual std::unique_ptr<InputFile> OpenReadTellingWait(const std::string& path,
                                                           const std::function<void()>& waiting) {
        (void)waiting;
        return OpenRead(path);
    }
    // The size of the regular file at path, or 0 when there is none or it is unknown: a hint for
    // sizing buffers before files are read, never an error.
    virtual std::uint64_t SizeHint(const std::string& path) noexcept;
    // Prepares the file that is to replace target once it is complete (see StagedFile), and
    // claims target against other programs doing the same. Throws FileError (Create, with
    // target as path): a folder given as target (EISDIR), a folder that does not exist
    // (ENOENT, ENOTDIR), a target that may not be written (EACCES), or one that another
    // program is writing at this moment (EWOULDBLOCK).
    virtual std::unique_ptr<StagedFile> CreateReplacement(const std::string& target) = 0;
};

// Something a StagedFile did that the user should hear of, though the result was written.
struct FileNotice {
    enum class Kind {
        // A hidden ".haojian-XXXXXX" file that an earlier run, since ended, left in the
        // target's folder was removed; path is that file.
        kLeftoverRemoved,
        // The replaced file's owner, or its group, could not be given to the new file (only a
        // privileged process may); path is the target.
        kOwnerNotKept,
        kGroupNotKept,
    };
    Kind kind;
    std::string path;
};

// A result on its way to replace a target. Nothing shows beside the target while it is written
// (where the file system allows: else a hidden ".haojian-XXXXXX" file, which haojian-cli removes
// when interrupted), and the target is replaced in one step by the complete, durable file:
// the file is made on the first Write (or at Commit when nothing was written), so that a run
// that waits for its input creates nothing meanwhile. Destroyed without Commit, it is
// abandoned and every file stays as it was.
//
// What the user expects of the target is kept: links are followed as the system follows them
// (a dangling one gets its file where it points; one another user planted in a shared sticky
// folder is refused), the replacement takes the target's mode, and its owner and group where
// the process may set them (else a notice says so). A target with further hard links is
// replaced like any other, its other names keeping the old file; one that cannot be replaced
// (in a folder where no file may be made) is rewritten in place once the result is complete,
// never left damaged by a failure the program sees. A device, a pipe or a descriptor handed
// over is written to directly. Write errors are FileError (Create or Write, with the target as
// path).
class StagedFile : public OutputFile {
public:
    // Puts the complete file in place of the target. Throws FileError: Close when the data
    // cannot be made durable, Rename when it cannot be put in place, EEXIST when another
    // program made or replaced the target meanwhile (nothing is then replaced).
    virtual void Commit() = 0;
    void Close() final { Commit(); }
    // The notices gathered since the last call: when the file was prepared, and at Commit.
    virtual std::vector<FileNotice> TakeNotices() { return {}; }
};

// A StagedFile made through a FileSystem, for callers: file() to write, Commit() when done.
class ReplacementFile {
public:
    // Throws FileError (Create).
    ReplacementFile(FileSystem& fs, const std::string& target)
        : file_(fs.CreateReplacement(target)) {}

    OutputFile& file() { return *file_; }
    // Throws FileError; the file is then abandoned.
    void Commit() { file_->Commit(); }

private:
    std::unique_ptr<StagedFile> file_;
};

// The real file system. Platform code.
FileSystem& RealFileSystem();

// Reads a whole file through fs. Throws FileError (Open or Read); a file that shrinks or grows
// while it is read is a Read failure with kSizeChangedReason, never taken as a shorter file.
std::string ReadWholeFile(FileSystem& fs, const std::string& path);

// Reads file (opened from path) to its end and appends what it gives to bytes. Room for the
// file's size is made at once when bytes lacks it; a file of unknown size grows bytes as it
// comes. Throws FileError (Read), with kSizeChangedReason when the file does not give exactly
// its size.
void AppendWholeFile(InputFile& file, const std::string& path, std::string& bytes);

// The directory of the running executable, ending in "/". Platform code.
std::string ExecutableDirectory();

// The directory part of path, ending in "/" ("./" when path has none).
std::string DirectoryOf(const std::string& path);

}  // namespace haojian
