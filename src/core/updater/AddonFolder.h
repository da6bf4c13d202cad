#pragma once
// Making the add-on's folders on disk.

#include <string>

#include "ports/FileSystem.h"

namespace hb {

// Makes sure the folder exists, creating only its last level.
bool EnsureFolder(FileSystem& files, const std::wstring& folder, std::wstring& error);

// Makes sure the folders a listed name ("Libs\X.lua", already found safe)
// needs below the add-on folder exist, one level at a time.
bool EnsureFoldersFor(FileSystem& files, const std::wstring& addonFolder, const std::wstring& name,
                      std::wstring& error);

}  // namespace hb
