#pragma once
// "noupload.txt" names the entries the user unchecked, one entry's text per
// line, written as the entry stands (leading and trailing spaces included).
//
// A line unchecks the entry whose text equals it exactly. Where no entry's
// text equals it, it unchecks the entry whose text equals the line without
// its leading and trailing spaces (only the space character): a hand-edited
// file, or one written when the list held another entry. So an entry " x"
// keeps its own mark beside an entry "x", and a list saved and read again
// keeps every mark.

#include <string>
#include <vector>

namespace hb {

// For each entry, whether one of the lines names it.
std::vector<bool> ExcludedEntries(const std::vector<std::wstring>& lines, const std::vector<std::wstring>& entries);

}  // namespace hb
