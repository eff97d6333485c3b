#include "core/platform/windows/windows_temporary_names.h"

#include <windows.h>

#include <atomic>
#include <cstdint>

namespace haojian::windows_temporary_names {
namespace {

constexpr std::wstring_view kPrefix = L".haojian-";
constexpr std::wstring_view kCapitals = L"ABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr std::wstring_view kSmall = L"abcdefghijklmnopqrstuvwxyz0123456789";
constexpr std::wstring_view kNameChars =
    L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr std::size_t kTagChars = 4;
constexpr std::size_t kRandomChars = 2;

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

std::wstring Tag(std::wstring_view target) {
    // "\\?\C:\x" and "C:\x" are one file; so are names that differ in letter case.
    if (target.starts_with(L"\\\\?\\")) target.remove_prefix(4);
    std::uint64_t hash = 14695981039346656037ULL;  // FNV-1a
    for (const wchar_t c : target) {
        const wchar_t folded = c >= L'a' && c <= L'z' ? wchar_t(c - L'a' + L'A') : c;
        hash = (hash ^ std::uint64_t(folded == L'/' ? L'\\' : folded)) * 1099511628211ULL;
    }
    std::wstring tag;
    for (std::size_t i = 0; i < kTagChars; ++i, hash /= kCapitals.size()) {
        tag.push_back(kCapitals[hash % kCapitals.size()]);
    }
    return tag;
}

std::wstring MakeName(std::wstring_view tag, unsigned attempt) {
    static std::atomic<unsigned> counter{0};
    const unsigned long long seed = (unsigned long long)::GetCurrentProcessId() * 7919u +
                                    counter.fetch_add(1) * 104729u + ::GetTickCount() + attempt;
    std::wstring name(kPrefix);
    name.append(tag);
    unsigned long long v = seed * 0x9E3779B97F4A7C15ULL;
    for (std::size_t i = 0; i < kRandomChars; ++i) {
        name.push_back(kSmall[(v >> 40) % kSmall.size()]);
        v = v * 6364136223846793005ULL + 1442695040888963407ULL;
    }
    return name;
}

bool IsName(std::wstring_view name) noexcept {
    if (!name.starts_with(kPrefix) || name.size() != kPrefix.size() + kTagChars + kRandomChars) {
        return false;
    }
    name.remove_prefix(kPrefix.size());
    return name.find_first_not_of(kNameChars) == std::wstring_view::npos;
}

Leftovers RemoveLeftovers(const std::wstring& folder, std::wstring_view tag, bool target_exists) {
    Leftovers found_ones;
    const std::uint64_t started = ProcessStart();
    WIN32_FIND_DATAW found{};
    const HANDLE listing = ::FindFirstFileExW((folder + L".haojian-*").c_str(), FindExInfoBasic,
                                              &found, FindExSearchNameMatch, nullptr, 0);
    if (listing == INVALID_HANDLE_VALUE) return found_ones;  // none, or a folder not to be read
    do {
        const std::wstring_view name = found.cFileName;
        if (!IsName(name)) continue;
        const std::wstring path = folder + found.cFileName;
        // Sharing nothing: refused while a writer (or anyone) holds it open.
        const HANDLE file =
            ::CreateFileW(path.c_str(), DELETE | FILE_READ_ATTRIBUTES, 0, nullptr, OPEN_EXISTING,
                          FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (file == INVALID_HANDLE_VALUE) continue;
        if (IsLeftover(file, started)) {
            // The target's own tag, and the target there: the leftover is a copy of a result
            // that never took its name, beside the file it was to replace.
            const bool copy = target_exists && name.substr(kPrefix.size(), kTagChars) == tag;
            FILE_DISPOSITION_INFO gone{};
            gone.DeleteFile = TRUE;
            if (!copy) {
                found_ones.kept.push_back(found.cFileName);
            } else if (::SetFileInformationByHandle(file, FileDispositionInfo, &gone,
                                                    sizeof gone)) {
                found_ones.removed.push_back(found.cFileName);
            }
        }
        ::CloseHandle(file);
    } while (::FindNextFileW(listing, &found));
    ::FindClose(listing);
    return found_ones;
}

}  // namespace haojian::windows_temporary_names
