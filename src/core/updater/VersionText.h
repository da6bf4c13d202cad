#pragma once
// Reading the add-on's two version texts: the installed one from the
// table-of-contents file, the published one from the update server.

#include <optional>
#include <string>
#include <string_view>

namespace hb {

// The text without leading and trailing blanks (the space character only).
std::wstring TrimSpaces(std::wstring_view text);

// The version of a table-of-contents text: the rest of the first line that
// contains "Version:" (case-sensitive, anywhere in the line), trimmed of
// spaces. Lines end at CR LF or a lone CR. The version also ends at a line
// feed: a file with LF line ends would otherwise yield the rest of the file,
// never equal the published version, and be downloaded and announced again
// at every check. nullopt when no line has it.
std::optional<std::wstring> VersionFromTocText(std::wstring_view text);

// The published version as the server's "HoardbookVersion" gives it:
// trimmed of spaces first, then every CR LF pair removed. The order is
// deliberate: a space before a final CR LF survives.
std::wstring ServerVersionFromText(std::wstring_view text);

}  // namespace hb
