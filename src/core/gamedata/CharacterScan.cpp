#include "gamedata/CharacterScan.h"

#include "base/ScopedValue.h"
#include "gamedata/EntryText.h"

namespace hb {

namespace {

// CurrentIndex is a 16-bit number, so no entry may have an index above
// 32767. Nobody has that many characters; a tree that big is a copy gone
// wrong, and the scan stops adding rather than let the index overflow.
constexpr int kMaxEntries = 32768;

// A flavour installed while the program runs is found within about a
// minute of watcher ticks (5 s each), or at once by a walk from start-up.
constexpr int kTicksBetweenFlavourLooks = 12;

bool Walkable(const FolderEntry& entry) {
    return !entry.name.empty() && entry.name.front() != L'.' && !entry.isHiddenOrSystem;
}

}  // namespace

CharacterScan::CharacterScan(EntryList& entries, FileSystem& files, FolderChanges* changes, GameFolders& folders,
                             MessageLog& log)
    : entries_(entries),
      files_(files),
      folders_(folders),
      log_(log),
      walkSchedule_(changes),
      changes_(changes) {}

void CharacterScan::LoadfilesFromHardDrive() { WalkAccountFolders(FindRoots(true)); }

void CharacterScan::stopWatching() {
    walkSchedule_.stop();
    for (auto& schedule : flavourSchedules_) schedule.second.stop();
}

void CharacterScan::LoadfilesFromHardDriveIfChanged() {
    const std::vector<ScanRoot>& roots = FindRoots(false);
    if (WalkDue(roots)) WalkAccountFolders(roots);
}

const std::vector<ScanRoot>& CharacterScan::FindRoots(bool now) {
    // The registry is read at every tick as before: a moved game is seen at once.
    const bool moved = knownRoots_.empty() || knownRoots_.front().accountFolder != folders_.GetAccountDir();
    if (now || moved || ++ticksSinceRootsFound_ >= kTicksBetweenFlavourLooks) {
        knownRoots_ = folders_.ScanRoots();
        ticksSinceRootsFound_ = 0;
    }
    return knownRoots_;
}

bool CharacterScan::WalkDue(const std::vector<ScanRoot>& roots) {
    bool due = walkSchedule_.walkDue(roots.front().accountFolder);
    // Every schedule is asked, so each watch is re-armed (or started) now.
    std::map<std::wstring, WalkSchedule> schedules;
    for (std::size_t i = 1; i < roots.size(); ++i) {
        auto known = flavourSchedules_.find(roots[i].accountFolder);
        auto& schedule = schedules
                             .emplace(roots[i].accountFolder, known != flavourSchedules_.end()
                                                                  ? std::move(known->second)
                                                                  : WalkSchedule(changes_))
                             .first->second;
        if (schedule.walkDue(roots[i].accountFolder)) due = true;
    }
    // A flavour gone away is watched no more.
    flavourSchedules_ = std::move(schedules);
    return due;
}

void CharacterScan::WalkAccountFolders(std::vector<ScanRoot> roots) {
    walkLeftWatchedTree_ = false;
    const int countBefore = entries_.count();
    roots_ = std::move(roots);
    {
        // One walk over every root: a folder reached again, from another
        // flavour through a link, is not walked twice. Every root is known
        // before the first is walked, so a link into another flavour's tree
        // is left to that flavour's walk and its entries keep their names.
        linkGuard_.start(roots_.front().accountFolder);
        std::vector<bool> walkRoot(roots_.size(), true);
        for (std::size_t i = 1; i < roots_.size(); ++i) walkRoot[i] = linkGuard_.addRoot(files_, roots_[i].accountFolder);
        ScopedValue nesting(walkDepth_, walkDepth_ + 1);
        for (currentRoot_ = 0; currentRoot_ < roots_.size(); ++currentRoot_) {
            if (walkRoot[currentRoot_]) LoadFilesFromDir(roots_[currentRoot_].accountFolder);
        }
    }
    ListFoundEntries();
    roots_.clear();
    currentRoot_ = 0;
    walkSchedule_.walked(!walkLeftWatchedTree_);
    for (auto& schedule : flavourSchedules_) schedule.second.walked(!walkLeftWatchedTree_);
    // Before anyone picks an entry to send: the watcher chooses after the walk.
    if (entriesAdded_ && entries_.count() > countBefore) entriesAdded_(countBefore);
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
        std::optional<std::wstring> entryText = EntryTextOf(folder);
        if (!entryText) continue;
        std::wstring& text = *entryText;
        if (InListAlready(text)) continue;
        if (entries_.count() + static_cast<int>(found_.size()) >= kMaxEntries) {
            if (!entryLimitReported_) {
                entryLimitReported_ = true;
                log_.add(L"There are more than " + std::to_wstring(kMaxEntries) +
                           L" saved-data folders; those beyond are not listed");
            }
            continue;
        }
        foundTexts_.add(text);
        found_.push_back(std::move(text));
    }
    Pace();

    for (const FolderEntry& entry : listing.entries) {
        if (!entry.isFolder || !Walkable(entry)) continue;
        std::wstring path = folder + L"\\" + entry.name;
        if (!linkGuard_.mayEnter(files_, path, entry.isLink)) continue;
        if (entry.isLink) walkLeftWatchedTree_ = true;
        LoadFilesFromDir(path);
    }
    if (walkDepth_ == 1) ListFoundEntries();  // the walk from this folder is done
}

void CharacterScan::ListFoundEntries() {
    if (found_.empty()) return;
    entries_.add(found_);
    found_.clear();
    foundTexts_ = {};
}

void CharacterScan::Pace() {
    if (!pacing_.due || !pacing_.due()) return;
    ListFoundEntries();
    pacing_.answer();
}

std::optional<std::wstring> CharacterScan::EntryTextOf(const std::wstring& folder) {
    if (currentRoot_ >= roots_.size() || currentRoot_ == 0) {
        std::wstring text = folders_.FormatIt(folder);
        if (roots_.size() > 1 && ShadowsAFlavour(roots_, text)) return std::nullopt;
        return text;
    }
    const ScanRoot& root = roots_[currentRoot_];
    return root.prefix + EntryTextFor(folder, root.accountFolder);
}

bool CharacterScan::InListAlready(const std::wstring& text) const {
    return entries_.contains(text) || foundTexts_.contains(text);
}

}  // namespace hb
