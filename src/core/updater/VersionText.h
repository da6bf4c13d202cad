#pragma once
// Reading the add-on's two version texts: the installed one from the
// table-of-contents file, the published one from the update server.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace hb {

// The longest text taken for a version. Versions are a few characters
// ("2.1", "1.12.0-beta3"); anything longer is not one (a broken server
// answering with a page or random bytes).
inline constexpr std::size_t kMaxVersionLength = 64;

// The text without leading and trailing blanks (the space character only).
std::wstring TrimSpaces(std::wstring_view text);

// The text without leading and trailing white space of any kind: blanks,
// tabs, CR, LF, vertical tab, form feed, the no-break space and the
// byte-order mark that some editors put first.
std::wstring TrimWhiteSpace(std::wstring_view text);

// The version of a table-of-contents text: the rest of the first line that
// contains "Version:" (case-sensitive, anywhere in the line), without
// surrounding white space. Lines end at CR LF or a lone CR. The version also
// ends at a line feed: a file with LF line ends would otherwise yield the
// rest of the file, never equal the published version, and be downloaded and
// announced again at every check. nullopt when no line has it.
std::optional<std::wstring> VersionFromTocText(std::wstring_view text);

// The published version as the server's "HoardbookVersion" gives it:
// without surrounding white space, and with every CR LF pair inside removed.
// What editors write ("2.1" and a line feed, a trailing blank) is the same
// version as the installed "2.1".
std::wstring ServerVersionFromText(std::wstring_view text);

// Why a published version (as ServerVersionFromText gives it) cannot be
// taken for one, in words that follow "the published version ": empty,
// longer than kMaxVersionLength, or holding control characters or
// undecodable bytes. nullopt for a plausible version.
std::optional<std::wstring> WhyNotAVersion(std::wstring_view version);

}  // namespace hb
