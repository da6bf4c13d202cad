#pragma once
// The file names come from the update server and are joined to the add-on
// folder. A name that could address anything outside that folder must never
// reach the file system, whatever the server sends.

#include <string_view>

namespace hb {

// True when the name stays inside the folder it is joined to: a relative
// path whose parts (split at "\" and "/") are all ordinary names. Refused:
// empty parts (so leading, trailing or doubled separators: absolute and UNC
// paths), parts made only of dots and spaces ("..", and the "..." or ".. "
// that Windows trims to one), any ":" (drive letters, alternate data
// streams), control characters, and device names such as "CON" or "LPT1".
bool IsSafeAddonFileName(std::wstring_view name);

}  // namespace hb
