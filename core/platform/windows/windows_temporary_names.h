#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace haojian::windows_temporary_names {

// Four capital letters standing for a target (its full path, letter case aside), which the
// names of its temporary files begin with, so that a leftover can be told to be a target's.
std::wstring Tag(std::wstring_view target);

// ".haojian-", the target's tag, and two small letters or digits picked by the process, a
// counter, the clock and attempt so that no other run picks the same name at the same moment.
std::wstring MakeName(std::wstring_view tag, unsigned attempt);
// True for a name that MakeName could have given, or an earlier version of it (six small
// letters or digits, without a tag).
bool IsName(std::wstring_view name) noexcept;

// The hidden files that earlier runs left in a folder when they were ended after taking back a
// result's mark for deletion: names of IsName, plain files with one name, last written before
// this process started, and held open by no one (a writer holds its file open, sharing nothing).
struct Leftovers {
    std::vector<std::wstring> removed;
    // Kept, as they may hold the only copy of something: one whose target is missing, or
    // another target's, or one whose target cannot be told (an earlier version's).
    std::vector<std::wstring> kept;
};

// Removes from folder (a full path ending in its separator) the leftovers of the target with
// tag, when that target exists: a run ended before its result took the target's name left a
// copy of that result only. Every other leftover is kept. Gives the names of both.
Leftovers RemoveLeftovers(const std::wstring& folder, std::wstring_view tag, bool target_exists);

}  // namespace haojian::windows_temporary_names
