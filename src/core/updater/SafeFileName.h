#pragma once
// The file names come from the update server and are joined to the add-on
// folder. A name that could address anything outside that folder, or a file
// other than the one it names, must never reach the file system, whatever
// the server sends.

#include <cstddef>
#include <string_view>

namespace hb {

// The longest name taken from the server: the longest path Windows opens
// without special prefixes. Anything longer cannot be a file of the add-on.
inline constexpr std::size_t kMaxAddonFileNameLength = 260;

// True when the name stays inside the folder it is joined to and names the
// file it says: a relative path, at most kMaxAddonFileNameLength
// characters, whose parts (split at "\" and "/") are all ordinary names.
// Refused: empty parts (so leading, trailing or doubled separators: absolute
// and UNC paths), parts made only of dots and spaces (".."), parts ending in
// a dot or a space (Windows drops those, so "Hoardbook.toc." would be
// written as the version file), parts that look like a short 8.3 alias
// ("HOARDB~1.TOC" may open another file), any ":" (drive letters, alternate
// data streams), control characters, and device names such as "CON" or
// "LPT1".
bool IsSafeAddonFileName(std::wstring_view name);

}  // namespace hb
