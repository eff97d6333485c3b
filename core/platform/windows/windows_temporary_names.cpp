#include "core/platform/windows/windows_temporary_names.h"

#include <windows.h>

#include <atomic>
#include <cstdint>

namespace haojian::windows_temporary_names {
namespace {

constexpr std::wstring_view kPrefix = L".haojian-";
constexpr std::wstring_view kChars = L"abcdefghijklmnopqrstuvwxyz0123456789";
constexpr std::size_t kRandomChars = 6;

std::uint64_t Ticks(const FILETIME& t) {
    return (std::uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

// When this process started, in FILETIME ticks; 0 when unknown.
std::uint64_t ProcessStart() {
    FILETIME created{}, ended{}, kernel{}, user{};
    if (!::GetProcessTimes(::GetCurrentProcess(), &created, &ended, &kernel, &user)) return 0;
    return Ticks(created);
}

// A leftover of an earlier run, by what its open file shows: the attributes and time that a
// listing gives may be stale.
bool IsLeftover(HANDLE file, std::uint64_t started) {
    BY_HANDLE_FILE_INFORMATION info{};
    // A margin of 20 ms: file times may be kept to no better.
    constexpr std::uint64_t kMargin = 200'000;
    return ::GetFileInformationByHandle(file, &info) &&
           (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) ==
               0 &&
           info.nNumberOfLinks == 1 && started > kMargin &&
           Ticks(info.ftLastWriteTime) < started - kMargin;
}

}  // namespace

std::wstring MakeName(unsigned attempt) {
    static std::atomic<unsigned> counter{0};
    const unsigned long long seed = (unsigned long long)::GetCurrentProcessId() * 7919u +
                                    counter.fetch_add(1) * 104729u + ::GetTickCount() + attempt;
    std::wstring name(kPrefix);
    unsigned long long v = seed * 0x9E3779B97F4A7C15ULL;
    for (std::size_t i = 0; i < kRandomChars; ++i) {
        name.push_back(kChars[(v >> 40) % kChars.size()]);
        v = v * 6364136223846793005ULL + 1442695040888963407ULL;
    }
    return name;
}

bool IsName(std::wstring_view name) noexcept {
    if (!name.starts_with(kPrefix) || name.size() != kPrefix.size() + kRandomChars) return false;
    name.remove_prefix(kPrefix.size());
    return name.find_first_not_of(kChars) == std::wstring_view::npos;
}

std::vector<std::wstring> RemoveLeftovers(const std::wstring& folder) {
    std::vector<std::wstring> removed;
    const std::uint64_t started = ProcessStart();
    WIN32_FIND_DATAW found{};
    const HANDLE listing = ::FindFirstFileExW((folder + L".haojian-*").c_str(), FindExInfoBasic,
                                              &found, FindExSearchNameMatch, nullptr, 0);
    if (listing == INVALID_HANDLE_VALUE) return removed;  // none, or a folder not to be read
    do {
        if (!IsName(found.cFileName)) continue;
        const std::wstring path = folder + found.cFileName;
        // Sharing nothing: refused while a writer (or anyone) holds it open.
        const HANDLE file =
            ::CreateFileW(path.c_str(), DELETE | FILE_READ_ATTRIBUTES, 0, nullptr, OPEN_EXISTING,
                          FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (file == INVALID_HANDLE_VALUE) continue;
        FILE_DISPOSITION_INFO gone{};
        gone.DeleteFile = TRUE;
        if (IsLeftover(file, started) &&
            ::SetFileInformationByHandle(file, FileDispositionInfo, &gone, sizeof gone)) {
            removed.push_back(found.cFileName);
        }
        ::CloseHandle(file);
    } while (::FindNextFileW(listing, &found));
    ::FindClose(listing);
    return removed;
}

}  // namespace haojian::windows_temporary_names
