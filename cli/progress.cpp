#include "cli/progress.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include "cli/console.h"
#include "core/files/file_system.h"

namespace haojian::cli {
namespace {

constexpr double kFirstLook = 0.25;   // seconds before the run is judged
constexpr double kLongRun = 1.0;      // a run expected to take longer shows progress
constexpr double kRedrawEvery = 0.2;  // seconds between two drawings

double SteadySeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::string Bytes(double bytes) {
    char text[32];
    if (bytes < 1e6) {
        std::snprintf(text, sizeof text, "%.0f kB", bytes / 1e3);
    } else if (bytes < 1e9) {
        std::snprintf(text, sizeof text, "%.1f MB", bytes / 1e6);
    } else {
        std::snprintf(text, sizeof text, "%.2f GB", bytes / 1e9);
    }
    return text;
}

std::string Duration(double seconds) {
    const long whole = std::lround(std::max(seconds, 0.0));
    char text[32];
    if (whole < 60) {
        std::snprintf(text, sizeof text, "%ld s", whole);
    } else if (whole < 3600) {
        std::snprintf(text, sizeof text, "%ld:%02ld", whole / 60, whole % 60);
    } else {
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", whole / 3600, whole / 60 % 60,
                      whole % 60);
    }
    return text;
}

}  // namespace

Progress::Progress(std::string label, std::uint64_t total, bool enabled, std::FILE* out,
                   Clock clock)
    : label_(std::move(label)),
      total_(total),
      next_check_(enabled ? kCheckBytes : UINT64_MAX),
      out_(out),
      clock_(clock ? std::move(clock) : Clock(SteadySeconds)),
      finished_(!enabled) {
    if (enabled) start_ = clock_();
}

void Progress::Finish() {
    if (finished_) return;
    finished_ = true;
    next_check_ = UINT64_MAX;
    if (shown_) {
        std::fputs("\r\033[K", out_);
        std::fflush(out_);
    }
}

void Progress::Check() {
    next_check_ = done_ + kCheckBytes;
    const double now = clock_();
    const double elapsed = now - start_;
    if (!shown_) {
        if (!total_known_) {
            if (elapsed < kLongRun) return;
        } else {
            if (elapsed < kFirstLook || total_ == 0) return;
            const double expected = elapsed * double(std::max(total_, done_)) / double(done_);
            if (expected <= kLongRun) return;
        }
        shown_ = true;
    } else if (now - last_draw_ < kRedrawEvery) {
        return;
    }
    Draw(now);
}

void Progress::Draw(double now) {
    last_draw_ = now;
    const double elapsed = std::max(now - start_, 1e-9);
    const double rate = double(done_) / elapsed;
    if (!total_known_) {
        std::fprintf(out_, "\r%s: %s read, %s/s\033[K", label_.c_str(),
                     Bytes(double(done_)).c_str(), Bytes(rate).c_str());
        std::fflush(out_);
        return;
    }
    const double left = done_ >= total_ ? 0 : double(total_ - done_) / std::max(rate, 1.0);
    std::fprintf(out_, "\r%s: %s of %s, %s/s, %s left\033[K", label_.c_str(),
                 Bytes(double(done_)).c_str(), Bytes(double(total_)).c_str(), Bytes(rate).c_str(),
                 Duration(left).c_str());
    std::fflush(out_);
}

std::vector<std::optional<std::uint64_t>> ListFileSizes(const std::vector<std::string>& lists) {
    std::vector<std::optional<std::uint64_t>> sizes;
    FileSystem& fs = RealFileSystem();
    for (const std::string& list : lists) {
        if (list != "-" && fs.IsFile(list)) {
            sizes.emplace_back(fs.SizeHint(list));
        } else {
            sizes.emplace_back();
        }
    }
    return sizes;
}

bool ProgressWanted(bool quiet) {
    return !quiet && ShowsProgress(stderr);
}

}  // namespace haojian::cli
