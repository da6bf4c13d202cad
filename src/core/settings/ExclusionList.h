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
//
// A line that names no listed entry is kept: its character may be missing
// for a while (the account tree renamed to reset the game's interface, a
// game drive not yet mounted) and must stay excluded when it comes back.

#include <string>
#include <vector>

namespace hb {

// For each entry, whether one of the lines names it.
std::vector<bool> ExcludedEntries(const std::vector<std::wstring>& lines, const std::vector<std::wstring>& entries);

// The lines to write when the entries carry these marks: every line that
// names no entry, in its place; for every unchecked entry its text, in the
// place of the first line naming it, or after all the others (in list
// order) when no line names it yet. A line naming a checked entry goes, and
// so does an empty line, which can name no entry.
std::vector<std::wstring> UpdatedExclusionLines(const std::vector<std::wstring>& lines,
                                                const std::vector<std::wstring>& entries,
                                                const std::vector<bool>& checked);

}  // namespace hb
