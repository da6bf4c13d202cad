#pragma once
// Where the game is when the registry's InstallPath names no folder: a
// repair, a copy from another computer or a second Windows leaves the
// value out while the game is there. Looked at in this order: the game's
// uninstall entries (both registry views), then "World of Warcraft" at the
// root of each fixed drive, in its "Games" folder and in the two
// program-files folders.

#include <optional>
#include <string>
#include <vector>

#include "ports/FileSystem.h"
#include "ports/Registry.h"

namespace hb {

// Whether the folder holds the game: an account folder, or a flavour folder.
bool HoldsTheGame(FileSystem& files, const std::wstring& folder);

// The places to look at, in order (some may not exist).
std::vector<std::wstring> GameFolderCandidates(Registry& registry, FileSystem& files);

// The first candidate that holds the game.
std::optional<std::wstring> FindGameFolder(Registry& registry, FileSystem& files);

}  // namespace hb
