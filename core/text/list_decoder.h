#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/text/text_encoding.h"

namespace haojian {

// A number list as the commands take it. The desktop program reads a list's bytes as they
// stand; lists saved by other programs often begin with a byte-order mark, so here a list
// marked as UTF-8 or UTF-16 is converted to GBK (characters GBK lacks become "?", and are
// counted). The list may come in pieces cut anywhere: a character cut in two waits for its rest.
class ListDecoder {
public:
    // The bytes needed to tell the mark: fewer only at the end of the list.
    static constexpr std::size_t kMarkBytes = 3;
    // Whether a list that begins with first_bytes (fewer than kMarkBytes) may begin with a mark.
    static bool MayBeginMark(std::string_view first_bytes);

    // Takes the mark that first_bytes (the list's first kMarkBytes bytes, or all of a shorter
    // list) begin with; gives its size, the bytes to skip before Decode.
    std::size_t Begin(std::string_view first_bytes);
    // Reads the text as UTF-8 though it carries no mark (known by other means), instead of Begin.
    void BeginUnmarkedUtf8() { mark_ = ByteOrderMark::kUtf8; }
    // Appends the GBK text of the next bytes of the list to out.
    void Decode(std::string_view bytes, std::string& out);
    // Appends what is left of a character cut short at the end of the list.
    void Finish(std::string& out);

    // What was done, for standard error; empty for a list taken as it is.
    std::string Note() const;
    // The characters that became "?", and what to say of them (empty for none).
    std::size_t unmapped() const { return unmapped_; }
    std::string UnmappedNote() const;

private:
    void DecodeUtf16(std::string_view bytes, std::string& out);
    // bytes behind what is held from the last piece (joined into joined when there is some).
    std::string_view AfterHeld(std::string_view bytes, std::string& joined);
    void DecodeUtf8(std::string_view bytes, std::string& out);

    ByteOrderMark mark_ = ByteOrderMark::kNone;
    std::string held_;  // the start of a character cut off at the end of the last piece
    std::size_t unmapped_ = 0;
};

}  // namespace haojian
