#pragma once
// Paths as the system's file functions take them at any length.

#include <string>

namespace hb::win32 {

// The path itself when it is short; a path near MAX_PATH characters or
// longer (a character folder deep below the account folder) reaches the file
// functions only in the extended-length form "\\?\C:\..." or
// "\\?\UNC\server\share\...", which wants a full path with backslashes, so
// it is made full first. What the system cannot make full is given as is.
std::wstring SystemPath(const std::wstring& path);

}  // namespace hb::win32
