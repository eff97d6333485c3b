#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace haojian::cli {

// A progress line on standard error for a long run: bytes done, rate and time left, redrawn in
// place a few times a second and cleared at the end. It shows only once the run has gone on
// for a moment and promises to take over a second in all, so short runs print nothing. When
// the total is unknown (a pipe), it shows the bytes read and the rate once a second has gone.
//
// Advance() is cheap enough to call for every line: it looks at the clock only after every
// kCheckBytes bytes. One thread calls it (a parallel loop advances it as its chunks complete).
class Progress {
public:
    using Clock = std::function<double()>;  // seconds, from any start
    static constexpr std::uint64_t kCheckBytes = std::uint64_t(256) << 10;

    // label names the run ("lookup"); total is the bytes expected, more may be added. A
    // progress that is not enabled shows nothing.
    Progress(std::string label, std::uint64_t total, bool enabled, std::FILE* out = stderr,
             Clock clock = {});
    ~Progress() { Finish(); }
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    void AddTotal(std::uint64_t bytes) { total_ += bytes; }
    // Some input has no size known beforehand: no total, no time left.
    void SetTotalUnknown() { total_known_ = false; }
    void Advance(std::uint64_t bytes) {
        done_ += bytes;
        if (done_ >= next_check_) Check();
    }
    // Clears the line if one was shown; later calls show nothing.
    void Finish();

private:
    void Check();
    void Draw(double now);

    std::string label_;
    std::uint64_t total_;
    bool total_known_ = true;
    std::uint64_t done_ = 0;
    std::uint64_t next_check_;
    std::FILE* out_;
    Clock clock_;
    double start_ = 0;
    double last_draw_ = 0;
    bool shown_ = false;
    bool finished_;
};

// The size of each list that is a regular file, for a total known before they are read;
// nothing for "-" and anything that is no regular file.
std::vector<std::optional<std::uint64_t>> ListFileSizes(const std::vector<std::string>& lists);

// Whether a command shows progress: only on a terminal, and never with -q.
bool ProgressWanted(bool quiet);

}  // namespace haojian::cli
