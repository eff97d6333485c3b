#include "core/table/delimited_rows.h"

#include "core/table/table_error.h"

namespace haojian {

DelimitedRows::DelimitedRows(std::unique_ptr<InputFile> file, std::string path,
                             const DetectedFormat& format, std::string head)
    : file_(std::move(file)), path_(std::move(path)), format_(format), pending_(std::move(head)) {
    const std::size_t mark =
        decoder_.Begin(std::string_view(pending_).substr(0, ListDecoder::kMarkBytes));
    if (format_.mark == ByteOrderMark::kNone && format_.unmarked_utf8) decoder_.BeginUnmarkedUtf8();
    pending_.erase(0, format_.mark == ByteOrderMark::kNone ? 0 : mark);
}

std::string DelimitedRows::EncodingName() const {
    switch (format_.mark) {
        case ByteOrderMark::kUtf8:
            return "UTF-8 with a byte-order mark";
        case ByteOrderMark::kUtf16LittleEndian:
            return "UTF-16LE";
        case ByteOrderMark::kUtf16BigEndian:
            return "UTF-16BE";
        case ByteOrderMark::kNone:
            break;
    }
    return format_.unmarked_utf8 ? "UTF-8" : "GBK";
}

bool DelimitedRows::ReadMore() {
    if (ended_) return false;
    text_.erase(0, start_);
    start_ = 0;
    if (!pending_.empty()) {
        decoder_.Decode(pending_, text_);
        pending_.clear();
        pending_.shrink_to_fit();
        return true;
    }
    constexpr std::size_t kReadBytes = std::size_t(1) << 20;
    buffer_.resize(kReadBytes);
    const std::size_t n = file_->Read(buffer_.data(), buffer_.size());
    if (n == 0) {
        decoder_.Finish(text_);
        ended_ = true;
        return true;
    }
    decoder_.Decode(std::string_view(buffer_.data(), n), text_);
    return true;
}

std::size_t DelimitedRows::SplitRow(std::vector<std::string>& cells) const {
    const std::string_view text = std::string_view(text_).substr(start_);
    const char separator = format_.separator;
    std::size_t used = 0;
    std::size_t i = 0;
    for (;;) {
        // One field from i.
        std::string& cell = used < cells.size() ? cells[used] : cells.emplace_back();
        cell.clear();
        ++used;
        if (i < text.size() && text[i] == '"') {
            ++i;
            for (;;) {
                const std::size_t quote = text.find('"', i);
                if (quote == std::string_view::npos) {
                    if (!ended_) return 0;
                    cell.append(text.substr(i));  // a quote left open ends with the text
                    i = text.size();
                    break;
                }
                cell.append(text.substr(i, quote - i));
                if (quote + 1 == text.size() && !ended_) return 0;
                if (quote + 1 < text.size() && text[quote + 1] == '"') {
                    cell += '"';
                    i = quote + 2;
                    continue;
                }
                i = quote + 1;
                break;
            }
        }
        // The rest of the field (after a closing quote, taken as it stands).
        std::size_t end = i;
        while (end < text.size() && text[end] != separator && text[end] != '\n' &&
               text[end] != '\r') {
            ++end;
        }
        cell.append(text.substr(i, end - i));
        i = end;
        if (i == text.size()) {
            if (!ended_) return 0;
            break;
        }
        if (text[i] == separator) {
            ++i;
            continue;
        }
        // A line break ends the row; CR LF is one.
        if (text[i] == '\r') {
            if (i + 1 == text.size() && !ended_) return 0;
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        }
        ++i;
        break;
    }
    cells.resize(used);
    return i;
}

bool DelimitedRows::Next(std::vector<std::string>& cells, std::uint64_t& number) {
    for (;;) {
        if (start_ < text_.size() || (ended_ && start_ < text_.size())) {
            if (const std::size_t length = SplitRow(cells); length != 0) {
                start_ += length;
                number = ++rows_;
                return true;
            }
        }
        if (ended_) return false;
        if (text_.size() - start_ > kLongestRow) {
            throw TableError(TableError::Kind::kDamaged, path_,
                             "a row runs on for more than 64 MB (a quote never closed?)");
        }
        ReadMore();
    }
}

}  // namespace haojian
