#include "gamedata/CharacterScan.h"

#include "base/ScopedValue.h"
#include "gamedata/EntryText.h"

namespace hb {

namespace {

// CurrentIndex is a 16-bit number, so no entry may have an index above
// 32767. Nobody has that many characters; a tree that big is a copy gone
// wrong, and the scan stops adding rather than let the index overflow.
constexpr int kMaxEntries = 32768;

bool Walkable(const FolderEntry& entry) {
    return !entry.name.empty() && entry.name.front() != L'.' && !entry.isHiddenOrSystem;
}

}  // namespace

CharacterScan::CharacterScan(MainWindow& list, FileSystem& files, FolderChanges* changes, GameFolders& folders,
                             ListCursor& cursor, MessageLog& log)
    : list_(list), files_(files), folders_(folders), cursor_(cursor), log_(log), walkSchedule_(changes) {}

void CharacterScan::LoadfilesFromHardDrive() { WalkAccountFolder(folders_.GetAccountDir()); }

void CharacterScan::LoadfilesFromHardDriveIfChanged() {
    const std::wstring accountFolder = folders_.GetAccountDir();
    if (walkSchedule_.walkDue(accountFolder)) WalkAccountFolder(accountFolder);
}

void CharacterScan::WalkAccountFolder(const std::wstring& accountFolder) {
    walkLeftWatchedTree_ = false;
    const int countBefore = list_.itemCount();
    LoadFilesFromDir(accountFolder);
    walkSchedule_.walked(!walkLeftWatchedTree_);
    // Before anyone picks an entry to send: the watcher chooses after the walk.
    if (entriesAdded_ && list_.itemCount() > countBefore) entriesAdded_(countBefore);
}

void CharacterScan::LoadFilesFromDir(const std::wstring& folder) {
    if (walkDepth_ == 0) linkGuard_.start(folder);
    // Counts the nesting, however a call ends.
    ScopedValue nesting(walkDepth_, walkDepth_ + 1);

    // One listing gives files and sub-folders alike.
    FolderListing listing = files_.list(folder);
    if (listing.status == FolderListing::Status::Failed) {
        walkLeftWatchedTree_ = true;
        // Logged once, not on every tick of the watcher; the entries the
        // listing did give are still used.
        if (unreadableFoldersReported_.insert(folder).second) {
            log_.add(L"Could not read the folder " + folder + L": " + listing.error);
        }
    } else if (!unreadableFoldersReported_.empty()) {
        // Readable again: a later failure is news again.
        unreadableFoldersReported_.erase(folder);
    }

    for (const FolderEntry& entry : listing.entries) {
        if (entry.isFolder || !Walkable(entry) || !IsSavedDataFileName(entry.name)) continue;
        std::wstring text = folders_.FormatIt(folder);
        if (InListAlready(text)) continue;
        if (list_.itemCount() >= kMaxEntries) {
            if (!entryLimitReported_) {
                entryLimitReported_ = true;
                log_.add(L"There are more than " + std::to_wstring(kMaxEntries) +
                           L" saved-data folders; those beyond are not listed");
            }
            continue;
        }
        list_.addItem(text);
        int count = list_.itemCount();
        list_.setItemChecked(count - 1, true);
        cursor_.entryAdded(count);
    }

    for (const FolderEntry& entry : listing.entries) {
        if (!entry.isFolder || !Walkable(entry)) continue;
        std::wstring path = folder + L"\\" + entry.name;
        if (!linkGuard_.mayEnter(files_, path, entry.isLink)) continue;
        if (entry.isLink) walkLeftWatchedTree_ = true;
        LoadFilesFromDir(path);
    }
}

bool CharacterScan::InListAlready(const std::wstring& text) const { return listedEntries_.contains(list_, text); }

}  // namespace hb
