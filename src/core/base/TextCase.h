#pragma once
// Names compared without case: entry texts, and folders a user may have
// typed in another case.

#include <string_view>

namespace hb {

// Upper case for the letters of the Latin, Greek and Cyrillic alphabets,
// so entry texts with accented character names compare without case.
wchar_t UpperCaseOf(wchar_t c);
bool SameWithoutCase(std::wstring_view a, std::wstring_view b);

}  // namespace hb
