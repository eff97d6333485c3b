#include "cli/number_list_stream.h"

#include <algorithm>

#include "cli/cli_support.h"
#include "cli/input_reading.h"
#include "cli/messages.h"
#include "cli/progress.h"
#include "core/files/file_system.h"
#include "core/text/nul_byte.h"

namespace haojian::cli {

std::size_t WholeLinesEnd(std::string_view text, std::size_t from) {
    const std::size_t end = text.substr(from).find_last_of("\r\n");
    return end == std::string_view::npos ? 0 : from + end + 1;
}

NumberListStream::NumberListStream(const Arguments& args, const std::string& path)
    : args_(args), path_(InputPath(path)), file_(OpenInput(args.command, path_)) {}

bool NumberListStream::Next(std::string_view& piece) {
    offset_ += handed_;
    text_.erase(0, handed_);
    handed_ = 0;
    // What is left of the last piece holds no line end: only what comes is searched, so that
    // a line of any length is read in time linear in its length.
    std::size_t whole = 0;
    std::size_t searched = text_.size();
    for (;;) {
        if (ended_) whole = text_.size();
        if (whole != 0 && (ended_ || text_.size() >= kPieceBytes || !file_->InputAtHand())) {
            handed_ = whole;
            piece = std::string_view(text_).substr(0, whole);
            // A CR that ends what has come is answered at once; an LF after it belongs to it.
            after_cr_ = !ended_ && whole == text_.size() && text_[whole - 1] == '\r';
            return true;
        }
        if (ended_) return false;
        ReadMore();
        if (after_cr_ && !text_.empty()) {
            after_cr_ = false;
            if (text_[0] == '\n') {
                text_.erase(0, 1);
                ++offset_;
            }
        }
        whole = std::max(whole, WholeLinesEnd(text_, searched));
        searched = text_.size();
    }
}

bool NumberListStream::ReadMore() {
    buffer_.resize(kReadBytes);
    const std::size_t n = file_->Read(buffer_.data(), buffer_.size());
    const std::string_view bytes(buffer_.data(), n);
    read_ += n;
    if (first_bytes_.size() < kFirstBytes) {
        first_bytes_ += bytes.substr(0, kFirstBytes - first_bytes_.size());
    }
    // A file that shrinks or grows while it is read is never taken as a shorter or longer one.
    if (file_->Size() != 0 && (read_ > file_->Size() || (n == 0 && read_ != file_->Size()))) {
        throw FileError(FileError::Op::Read, path_, 0, std::string(kSizeChangedReason));
    }
    if (n == 0) {
        if (!mark_known_) Decode({});
        if (!ended_) {
            decoder_.Finish(text_);
            End();
        }
        return false;
    }
    Decode(bytes);
    return true;
}

void NumberListStream::End() {
    ended_ = true;
    if (!decoder_.UnmappedNote().empty()) {
        PrintMessage(args_.command, QuotedPath(path_) + ": " + decoder_.UnmappedNote());
    }
}

void NumberListStream::Decode(std::string_view bytes) {
    std::string head;
    if (!mark_known_) {
        head_ += bytes;
        if (!bytes.empty() && head_.size() < ListDecoder::kMarkBytes &&
            ListDecoder::MayBeginMark(head_)) {
            return;
        }
        mark_known_ = true;
        head = std::move(head_);
        bytes = head;
        bytes.remove_prefix(decoder_.Begin(bytes.substr(0, ListDecoder::kMarkBytes)));
        if (!decoder_.Note().empty()) {
            PrintMessage(args_.command, QuotedPath(path_) + ": " + decoder_.Note());
        }
    }
    // A list longer than one read keeps one block for a piece and the read after it, rather
    // than being copied into a larger one read after read.
    if (read_ > bytes.size() && text_.capacity() < kTextRoom) text_.reserve(kTextRoom);
    const std::size_t from = text_.size();
    decoder_.Decode(bytes, text_);
    // A NUL byte ends the text: nothing after it is read.
    if (const std::size_t nul = FindNul(text_, from); nul != std::string::npos) {
        nul_ = decoder_.Converts() ? FileOffsetOfNul(bytes) : offset_ + nul;
        text_.resize(nul);
        End();
    }
    if (!bytes.empty()) last_byte_ = bytes.back();
}

std::uint64_t NumberListStream::FileOffsetOfNul(std::string_view bytes) const {
    // bytes are the last read's (the mark left out), which hold the NUL character; they begin
    // this far into the file.
    const std::uint64_t at = read_ - bytes.size();
    if (!decoder_.Utf16()) return at + FindNul(bytes);
    // UTF-16 units begin at even offsets, after the mark; one may begin in the read before.
    if (at % 2 == 1 && last_byte_ == '\0' && !bytes.empty() && bytes[0] == '\0') return at - 1;
    const std::size_t skip = std::min(bytes.size(), std::size_t(at % 2));
    return at + skip + FindNulCharacter(bytes.substr(skip), true);
}

void NulCuts::Note(const NumberListStream& list) {
    if (!list.nul_offset()) return;
    messages_.push_back(
        NulByteText(list.path(), *list.nul_offset(), list.first_bytes(), "the list ends there"));
}

NulCuts ForEachListPiece(const Arguments& args,
                         const std::function<void(std::string_view piece, Progress&)>& take) {
    const std::vector<std::optional<std::uint64_t>> sizes = ListFileSizes(args.operands);
    Progress progress(args.command, 0, ProgressWanted(args.Has("-q")));
    for (const std::optional<std::uint64_t>& size : sizes) {
        if (size) {
            progress.AddTotal(*size);
        } else {
            progress.SetTotalUnknown();
        }
    }
    NulCuts cuts;
    for (std::size_t i = 0; i < args.operands.size(); ++i) {
        NumberListStream list(args, args.operands[i]);
        for (std::string_view piece; list.Next(piece);) take(piece, progress);
        cuts.Note(list);
    }
    progress.Finish();
    return cuts;
}

bool NulCuts::Report(std::string_view command) const {
    for (const std::string& message : messages_) PrintMessage(command, message);
    return !messages_.empty();
}

}  // namespace haojian::cli
