#pragma once
// The character scan: walks the account folder and appends a checked entry
// for every folder holding a saved-data file that the list does not show
// yet. Runs at start-up and before every watcher tick.

#include <set>
#include <string>

#include "gamedata/GameFolders.h"
#include "gamedata/LinkGuard.h"
#include "gamedata/ListCursor.h"
#include "ports/FileSystem.h"
#include "ports/MainWindow.h"
#include "ports/MessageLog.h"

namespace hb {

class CharacterScan {
public:
    CharacterScan(MainWindow& list, FileSystem& files, GameFolders& folders, ListCursor& cursor, MessageLog& log);

    // The whole walk from the account folder.
    void LoadfilesFromHardDrive();
    // The walk below one folder (links only where the walk has not been).
    void LoadFilesFromDir(const std::wstring& folder);
    // Whether an entry of this text is listed, ignoring case.
    bool InListAlready(const std::wstring& text) const;

private:
    MainWindow& list_;
    FileSystem& files_;
    GameFolders& folders_;
    ListCursor& cursor_;
    MessageLog& log_;

    int walkDepth_ = 0;
    LinkGuard linkGuard_;
    std::set<std::wstring> unreadableFoldersReported_;
    bool entryLimitReported_ = false;
};

}  // namespace hb
