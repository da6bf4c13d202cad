#pragma once
// The mapping between saved-data folders and the entry texts of the list.

#include <string>
#include <string_view>

// Entry texts compare without case: SameWithoutCase.
#include "base/TextCase.h"

namespace hb {

inline constexpr wchar_t kSavedDataFileName[] = L"Hoardbook.lua";

// Every occurrence of pattern removed, in one pass from the start (what is
// left after a removal is not searched again). Case-sensitive.
std::wstring RemoveAll(std::wstring_view text, std::wstring_view pattern);

// The install folder with "\" added when missing, then "WTF\Account".
std::wstring AccountFolderOf(std::wstring_view installFolder);

// The entry text for a folder holding a saved-data file: the account folder
// prefix and every "\SavedVariables" removed.
std::wstring EntryTextFor(std::wstring_view folder, std::wstring_view accountFolder);

// account folder + "\" + entry text + "\SavedVariables\Hoardbook.lua"
std::wstring SavedDataFileFor(std::wstring_view accountFolder, std::wstring_view entryText);

// Whether a file name is "hoardbook.lua" in any mix of case.
bool IsSavedDataFileName(std::wstring_view name);

}  // namespace hb
