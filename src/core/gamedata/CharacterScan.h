#pragma once
// The character scan: walks the account folder of every flavour the game
// has (gamedata/ScanRoots.h), in one walk, and appends a checked entry
// for every folder holding a saved-data file that the list does not show
// yet. Runs at start-up, and at the watcher's ticks when the account tree
// changed (or no change notification can tell). After a walk that added
// entries it says so, so the exclusion list can uncheck those it names: a
// character the player excluded stays excluded when the game makes (or
// brings back) its folder while the program runs.
//
// A walk lists what it finds in batches, not entry by entry: the list
// control costs far more per insert than per batch, and a player with
// thousands of characters would wait for it.

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "gamedata/EntryList.h"
#include "gamedata/GameFolders.h"
#include "gamedata/LinkGuard.h"
#include "gamedata/ListedEntries.h"
#include "gamedata/WalkSchedule.h"
#include "ports/FileSystem.h"
#include "ports/FolderChanges.h"
#include "ports/MessageLog.h"

namespace hb {

// What a long walk does between folders so the window keeps answering
// (start-up's walk, before the message loop runs; a tick's walk runs
// without, as nothing may change the list under it then).
struct WalkPacing {
    // Whether the window should answer now.
    std::function<bool()> due;
    // Lets the window answer; the entries found so far are listed first.
    std::function<void()> answer;
};

class CharacterScan {
public:
    // Without change notifications (changes null) every rescan walks.
    CharacterScan(EntryList& entries, FileSystem& files, FolderChanges* changes, GameFolders& folders,
                  MessageLog& log);

    // The whole walk from the account folders.
    void LoadfilesFromHardDrive();
    // The watcher's rescan: walks only when a name below an account folder
    // changed since the last walk, or when no notification can tell.
    void LoadfilesFromHardDriveIfChanged();
    // The walk below one folder (links only where the walk has not been).
    void LoadFilesFromDir(const std::wstring& folder);
    // Log Out: every flavour's change watch ends until the next rescan.
    void stopWatching();
    // Whether an entry of this text is listed, ignoring case.
    bool InListAlready(const std::wstring& text) const;
    // Called after a walk from the account folder that added entries, with
    // the index of the first one added.
    void setEntriesAdded(std::function<void(int first)> entriesAdded) { entriesAdded_ = std::move(entriesAdded); }
    // Paces the walks that follow; an empty pacing ends it.
    void setPacing(WalkPacing pacing) { pacing_ = std::move(pacing); }

private:
    EntryList& entries_;
    FileSystem& files_;
    GameFolders& folders_;
    MessageLog& log_;

    int walkDepth_ = 0;
    LinkGuard linkGuard_;
    std::set<std::wstring> unreadableFoldersReported_;
    bool entryLimitReported_ = false;
    WalkSchedule walkSchedule_;
    // The other flavours' account folders, each watched on its own: a walk
    // is due when any of them (or the first) says so, and then walks all.
    FolderChanges* changes_;
    std::map<std::wstring, WalkSchedule> flavourSchedules_;
    // The roots last found. Finding them lists the game folder, so the
    // watcher's ticks look again only now and then (or when the game moved).
    std::vector<ScanRoot> knownRoots_;
    int ticksSinceRootsFound_ = 0;
    const std::vector<ScanRoot>& FindRoots(bool now);
    // The roots of the walk under way, and which one is being walked.
    std::vector<ScanRoot> roots_;
    std::size_t currentRoot_ = 0;
    // Whether the walk so far went where the change notification does not
    // reach: through a folder link, or past a folder it could not read.
    bool walkLeftWatchedTree_ = false;
    std::function<void(int first)> entriesAdded_;
    WalkPacing pacing_;
    // Entries the walk under way found and has not listed yet: they go to
    // the list in one batch.
    std::vector<std::wstring> found_;
    ListedEntries foundTexts_;
    void ListFoundEntries();
    void Pace();

    void WalkAccountFolders(std::vector<ScanRoot> roots);
    bool WalkDue(const std::vector<ScanRoot>& roots);
    // The entry text of a folder holding a saved-data file, with its
    // flavour in front when it is not the install folder's; nothing for a
    // text that would read like another flavour's.
    std::optional<std::wstring> EntryTextOf(const std::wstring& folder);
};

}  // namespace hb
