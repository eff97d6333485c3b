#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/files/file_system.h"
#include "core/text/list_decoder.h"

namespace haojian::cli {

struct Arguments;

// A number list read a piece at a time, so that a list of any length takes little memory and a
// pipe's lines are answered while more are still on their way. The text is the list's bytes
// (decoded as ListDecoder says when it carries a byte-order mark, which is said on standard
// error), of which a NUL byte ends the text, as the line rule reads a file.
class NumberListStream {
public:
    // Pieces grow up to about this size while input is at hand.
    static constexpr std::size_t kPieceBytes = std::size_t(4) << 20;

    // Opens the list at path ("-" is standard input). Throws FileError (Open).
    NumberListStream(const Arguments& args, const std::string& path);

    // The next piece of the text: whole lines, ended as the text ends them, the last one as the
    // text leaves it. It stays valid until the next call. Waits for input only while no whole
    // line is at hand. False at the end of the text. Throws FileError (Read).
    bool Next(std::string_view& piece);

    // The offset in the text of the NUL byte that ended it, once Next has reached it.
    std::optional<std::uint64_t> nul_offset() const { return nul_; }
    // The path as messages name it.
    const std::string& path() const { return path_; }

private:
    static constexpr std::size_t kReadBytes = std::size_t(1) << 20;
    static constexpr std::size_t kTextRoom = kPieceBytes + 2 * kReadBytes;

    // Reads what there is (waiting for some) and decodes it onto text_; false at the end.
    bool ReadMore();
    // No more input is taken: its end, or a NUL byte.
    void End();
    void Decode(std::string_view bytes);

    const Arguments& args_;
    std::string path_;
    std::unique_ptr<InputFile> file_;
    ListDecoder decoder_;
    std::string head_;  // the first bytes, until the mark is known
    bool mark_known_ = false;
    std::string buffer_;
    std::uint64_t read_ = 0;    // bytes of the file read so far
    std::string text_;          // decoded, not yet handed out
    std::size_t handed_ = 0;    // the piece handed out last, at the start of text_
    std::uint64_t offset_ = 0;  // the text's bytes before text_
    bool ended_ = false;        // no more input (its end, or a NUL byte)
    std::optional<std::uint64_t> nul_;
};

// The end of the last whole line of text (0 when there is none): after its last LF, else after
// its last CR unless that is text's last byte (an LF may follow it). At the end of the input,
// all of text.
std::size_t WholeLinesEnd(std::string_view text, bool at_end);

// The lists that a NUL byte cut short, told on standard error after the results are written:
// the file and the byte's offset in it. Report gives true when there were any (the command
// then exits 1).
class NulCuts {
public:
    void Note(const NumberListStream& list);
    bool Report(std::string_view command) const;

private:
    std::vector<std::string> messages_;  // UTF-8
};

class Progress;

// Reads the lists that args' operands name, each a piece at a time, and hands every piece to
// take with the command's progress line (shown as ProgressWanted says, for the lists' sizes),
// which take advances by the bytes it has done; the line is cleared at the end. Gives the lists
// that a NUL byte cut short, to be reported once the results are out.
NulCuts ForEachListPiece(const Arguments& args,
                         const std::function<void(std::string_view piece, Progress&)>& take);

}  // namespace haojian::cli
