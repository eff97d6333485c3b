#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace haojian::windows_temporary_names {

// ".haojian-" and six letters or digits, picked by the process, a counter, the clock and attempt
// so that no other run picks the same name at the same moment.
std::wstring MakeName(unsigned attempt);
// True for a name that MakeName could have given.
bool IsName(std::wstring_view name) noexcept;

// Removes from folder (a full path ending in its separator) the hidden files that earlier runs
// left there when they were ended between taking back a result's mark for deletion and putting
// it in place: names of MakeName, plain files with one name, last written before this process
// started, and held open by no one (a writer holds its file open, sharing nothing). Gives the
// names removed.
std::vector<std::wstring> RemoveLeftovers(const std::wstring& folder);

}  // namespace haojian::windows_temporary_names
