#include "core/merge/merge.h"

#include <algorithm>
#include <memory>

#include "core/base/huge_pages.h"
#include "core/base/system_memory.h"
#include "core/files/buffered_writer.h"
#include "core/files/temporary_file.h"
#include "core/merge/joined_sources.h"
#include "core/merge/run_merge.h"
#include "core/merge/sorted_run.h"
#include "core/merge/unique_lines.h"
#include "core/text/fixed_texts.h"

namespace haojian {
namespace {

using sorting::SortedRun;

// The memory of sorting a text in one piece, per byte of text, with room to spare: the text,
// its lines' words and the keys and buffers of the sort.
constexpr std::uint64_t kMemoryPerTextByte = 3;
// Sources are read and progress told this much at a time.
constexpr std::size_t kReadStep = std::size_t(16) << 20;
// Each run merged takes two buffers (its digit words, its other lines) of at least this, and
// at most kLargestBlock; a pass merges as many runs as the memory gives such buffers, at most
// kMostRuns.
constexpr std::size_t kSmallestBlock = std::size_t(64) << 10;
constexpr std::size_t kLargestBlock = std::size_t(8) << 20;
constexpr std::size_t kMostRuns = 64;

// Writes the sorted lines of text to result and puts it in place.
std::size_t WriteResult(ReplacementFile& result, std::string text,
                        const LocaleCollation& collation) {
    BufferedWriter out(result.file(), std::size_t(1) << 20);
    const std::size_t count = WriteSortedUniqueLines(std::move(text), collation, out);
    out.Flush();
    result.Commit();
    return count;
}

class Merge {
public:
    Merge(const std::vector<std::string>& sources, const MergeOptions& options, FileSystem& fs,
          const LocaleCollation& collation)
        : options_(options),
          fs_(fs),
          collation_(collation),
          input_(fs, sources),
          memory_(options.memory != 0 ? options.memory : DefaultMergeMemory()),
          run_bytes_(std::size_t(std::max<std::uint64_t>(memory_ / kMemoryPerTextByte, 1))),
          folder_(options.temporary_folder.empty() ? SystemTemporaryFolder()
                                                   : options.temporary_folder) {}

    std::size_t Run(ReplacementFile& result) {
        std::string text;
        text.reserve(RoomForRun(0));
        // All at once, in one buffer sized for all, when it fits.
        if (input_.SizesKnown() && input_.SizeHint() <= run_bytes_) {
            PrepareHugePages(text.data(), text.capacity());
        }
        std::vector<SortedRun> runs;
        for (;;) {
            Read(text, run_bytes_);
            if (input_.Ended() && runs.empty())
                return WriteResult(result, std::move(text), collation_);
            std::string rest;
            if (!input_.Ended()) {
                const std::size_t start = LastSureLineStart(text);
                // A line longer than a run: read on to its end.
                if (start == 0) {
                    Read(text, text.size() + run_bytes_);
                    continue;
                }
                rest.reserve(RoomForRun(text.size() - start));
                rest.assign(text, start);
                text.resize(start);
            }
            runs.push_back(SortRun(std::move(text)));
            ReturnFreeMemory();
            if (input_.Ended()) break;
            text = std::move(rest);
        }
        return MergeRuns(std::move(runs), result);
    }

    const JoinedSources& input() const { return input_; }

private:
    // The room a run is likely to need, holding held bytes already: a whole run, or what is
    // left of sources of known size when that is less.
    std::size_t RoomForRun(std::size_t held) const {
        const std::uint64_t left =
            input_.SizesKnown()
                ? input_.SizeHint() - std::min(input_.SizeHint(), input_.BytesRead()) + held
                : std::uint64_t(kReadStep);
        return std::size_t(std::min<std::uint64_t>(run_bytes_, left));
    }

    // Reads until text holds until bytes or the input ends, telling progress as it goes.
    void Read(std::string& text, std::size_t until) {
        while (!input_.Ended() && text.size() < until) {
            input_.Fill(text, std::min(until, text.size() + kReadStep), until);
            Tell({MergeProgress::Stage::Reading, 0, 0, input_.BytesRead(), input_.SizeHint()});
        }
    }

    SortedRun SortRun(std::string text) {
        sorting::RunWriter writer(fs_.CreateTemporary(folder_));
        SortUniqueLinesApart(std::move(text), collation_, writer);
        return writer.Finish();
    }

    std::size_t MergeRuns(std::vector<SortedRun> runs, ReplacementFile& result) {
        const std::size_t most =
            std::clamp<std::size_t>(std::size_t(memory_ / (4 * kSmallestBlock)), 2, kMostRuns);
        unsigned passes = 1;
        for (std::size_t n = runs.size(); n > most; n = (n + most - 1) / most) ++passes;
        for (unsigned pass = 1; runs.size() > most; ++pass) {
            std::vector<SortedRun> merged;
            StartPass(runs, pass, passes);
            for (std::size_t first = 0; first < runs.size(); first += most) {
                const std::size_t count = std::min(most, runs.size() - first);
                if (count == 1) {
                    merged.push_back(std::move(runs[first]));
                    continue;
                }
                const std::span<SortedRun> group(runs.data() + first, count);
                merged.push_back(
                    sorting::MergeRuns(Sources(group), fs_.CreateTemporary(folder_), collation_));
                // Each group's files go as soon as it is merged, so that the disk holds the
                // data about once.
                for (SortedRun& run : group) run.file.reset();
            }
            runs = std::move(merged);
        }
        StartPass(runs, passes, passes);
        BufferedWriter out(result.file(), std::size_t(1) << 20);
        const std::size_t count = sorting::WriteMergedRuns(Sources(runs), collation_, out);
        out.Flush();
        runs.clear();
        result.Commit();
        return count;
    }

    void StartPass(const std::vector<SortedRun>& runs, unsigned pass, unsigned passes) {
        progress_ = {MergeProgress::Stage::Merging, pass, passes, 0, 0};
        for (const SortedRun& run : runs) progress_.total += run.end;
        block_ = std::clamp<std::size_t>(std::size_t(memory_ / (4 * runs.size())), kSmallestBlock,
                                         kLargestBlock);
        Tell(progress_);
    }

    sorting::RunSources Sources(std::span<SortedRun> runs) {
        return {runs, block_, folder_, counter_};
    }

    void Tell(const MergeProgress& progress) const {
        if (options_.progress) options_.progress(progress);
    }

    const MergeOptions& options_;
    FileSystem& fs_;
    const LocaleCollation& collation_;
    JoinedSources input_;
    const std::uint64_t memory_;
    const std::size_t run_bytes_;
    const std::string folder_;
    MergeProgress progress_;
    std::size_t block_ = kSmallestBlock;
    const sorting::RunReader::Counter counter_ = [this](std::uint64_t bytes) {
        progress_.done += bytes;
        Tell(progress_);
    };
};

}  // namespace

MergeCutError::MergeCutError(std::string path, std::uint64_t offset, std::size_t line_count)
    : std::runtime_error(path + " holds a NUL byte at offset " + std::to_string(offset)),
      path_(std::move(path)),
      offset_(offset),
      line_count_(line_count) {}

std::size_t MergeDataFiles(const std::vector<std::string>& sources, const std::string& output,
                           FileSystem& fs, const LocaleCollation& collation) {
    return MergeDataFiles(sources, output, MergeOptions{}, fs, collation);
}

std::size_t MergeDataFiles(const std::vector<std::string>& sources, const std::string& output,
                           const MergeOptions& options, FileSystem& fs,
                           const LocaleCollation& collation) {
    // Claimed before the sources are read, so that an output that cannot be written is found
    // at once; its file is made only when the result is written.
    ReplacementFile result(fs, output);
    Merge merge(sources, options, fs, collation);
    const std::size_t count = merge.Run(result);
    if (const auto& cut = merge.input().NulCut()) {
        throw MergeCutError(sources[cut->source], cut->offset, count);
    }
    return count;
}

std::uint64_t DefaultMergeMemory() {
    const std::uint64_t available = AvailableMemory();
    if (available == 0) return std::uint64_t(1) << 30;
    return std::max(available / 4 * 3, std::uint64_t(64) << 20);
}

std::string MergeProgressText(const MergeProgress& progress) {
    std::string text;
    if (progress.stage == MergeProgress::Stage::Reading) {
        text = text::kMergeReading;
    } else {
        text = std::string(text::kMergeMerging) + std::to_string(progress.pass) +
               std::string(text::kMergePassOf) + std::to_string(progress.passes) +
               std::string(text::kMergePasses);
    }
    if (progress.total != 0) {
        text += std::to_string(std::min<std::uint64_t>(progress.done, progress.total) * 100 /
                               progress.total) +
                "%";
    }
    return text;
}

std::string MergedStatusText(std::size_t line_count) {
    return std::string(text::kMergedPrefix) + std::to_string(line_count);
}

}  // namespace haojian
