#pragma once
// Reading an entry's saved-data file for an upload.

#include <optional>
#include <string>

#include "gamedata/EntryList.h"
#include "gamedata/GameFolders.h"
#include "ports/FileSystem.h"

namespace hb {

class SavedDataFiles {
public:
    SavedDataFiles(const EntryList& entries, FileSystem& files, GameFolders& folders);

    // The entry's saved-data bytes; empty for an unchecked entry or none.
    // Throws Failure when the file cannot be read.
    std::string LoadDataFromHardDrive(std::optional<Entry> entry);
    // The file's bytes with every line ended by CR LF; throws Failure.
    std::string GetFile(const std::wstring& path);
    // The file the entry's text stands for: account folder (of its flavour)
    // + "\" + entry text + "\SavedVariables\Hoardbook.lua"
    // Empty for no entry.
    std::wstring SavedDataFileOf(std::optional<Entry> entry);
    // The folder the registry names (read afresh), and an entry's file
    // below it (of its flavour): a tick reads the registry once for all
    // its entries.
    std::wstring InstallFolder() { return folders_.GetWoWDir(); }
    std::wstring SavedDataFileIn(const std::wstring& installFolder, const std::wstring& entryText);

    // LoadDataFromHardDrive, with a file that vanished or is locked (the game
    // may be writing it) reported through `error` instead of thrown.
    std::optional<std::string> tryLoad(std::optional<Entry> entry, std::wstring& error);

private:
    const EntryList& entries_;
    FileSystem& files_;
    GameFolders& folders_;
};

}  // namespace hb
