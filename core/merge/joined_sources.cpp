#include "core/merge/joined_sources.h"

#include <algorithm>

#include "core/text/nul_byte.h"

namespace haojian {
namespace {

// Bytes asked of a source of unknown size at a time.
constexpr std::size_t kStreamPiece = std::size_t(1) << 20;

FileError SizeChanged(const std::string& path) {
    return FileError(FileError::Op::Read, path, 0, std::string(kSizeChangedReason));
}

}  // namespace

JoinedSources::JoinedSources(FileSystem& fs, const std::vector<std::string>& sources)
    : fs_(fs), sources_(sources) {
    for (const std::string& source : sources) {
        const std::uint64_t size = fs.SizeHint(source);
        size_hint_ += size;
        if (size == 0) sizes_known_ = false;
    }
    ended_ = sources.empty();
}

JoinedSources::~JoinedSources() = default;

void JoinedSources::Fill(std::string& text, std::size_t until, std::size_t room) {
    while (!ended_ && text.size() < until) {
        if (!file_) {
            if (next_ == sources_.size()) {
                ended_ = true;
                break;
            }
            file_ = fs_.OpenRead(sources_[next_]);
            file_size_ = file_->Size();
            file_read_ = 0;
            ++next_;
        }
        const std::size_t before = text.size();
        if (!ReadSome(text, until, room)) continue;
        const std::size_t nul = FindNul(text, before);
        read_ += text.size() - before;
        if (nul != std::string::npos) {
            cut_ = Cut{next_ - 1, file_read_ - (text.size() - nul)};
            read_ -= text.size() - nul;
            text.resize(nul);
            file_.reset();
            ended_ = true;
            break;
        }
    }
}

bool JoinedSources::ReadSome(std::string& text, std::size_t until, std::size_t room) {
    const std::string& path = sources_[next_ - 1];
    const std::size_t start = text.size();
    std::size_t want = std::max<std::size_t>(until - start, 1);
    if (file_size_ != 0) {
        if (file_read_ == file_size_) {
            CheckEnd();
            return false;
        }
        want = std::size_t(std::min<std::uint64_t>(want, file_size_ - file_read_));
    } else {
        want = std::min(want, kStreamPiece);
    }
    if (text.capacity() < start + want) {
        text.reserve(std::max(start + want, std::min(2 * text.capacity(), room)));
    }
    text.resize(start + want);
    const std::size_t n = file_->Read(text.data() + start, want);
    text.resize(start + n);
    file_read_ += n;
    if (n == 0) {
        if (file_size_ != 0) throw SizeChanged(path);  // shrank
        file_.reset();
        return false;
    }
    return true;
}

// A file of known size must give nothing more once it has given that many bytes.
void JoinedSources::CheckEnd() {
    char probe[16384];
    if (file_->Read(probe, sizeof probe) != 0) throw SizeChanged(sources_[next_ - 1]);
    file_.reset();
}

std::size_t LastSureLineStart(std::string_view text) {
    for (std::size_t i = text.size(); i-- > 0;) {
        if (text[i] == '\n') return i + 1;
        if (text[i] == '\r' && i + 1 < text.size()) return i + 1;
    }
    return 0;
}

}  // namespace haojian
