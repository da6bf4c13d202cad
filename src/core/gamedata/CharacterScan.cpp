// The character scan: walks the account folder and appends an entry for
// every folder holding a saved-data file that the list does not show yet.

#include "gamedata/EntryText.h"
#include "shell/Form1.h"

namespace hb {

namespace {

// CurrentIndex is a 16-bit number, so no entry may have an index above
// 32767. Nobody has that many characters; a tree that big is a copy gone
// wrong, and the scan stops adding rather than let the index overflow.
constexpr int kMaxEntries = 32768;

bool Walkable(const FolderEntry& entry) {
    return !entry.name.empty() && entry.name.front() != L'.' && !entry.isHiddenOrSystem;
}

// Counts the nesting of LoadFilesFromDir, however a call ends.
class Nesting {
public:
    explicit Nesting(int& depth) : depth_(depth) { ++depth_; }
    ~Nesting() { --depth_; }
    Nesting(const Nesting&) = delete;
    Nesting& operator=(const Nesting&) = delete;

private:
    int& depth_;
};

}  // namespace

void Form1::LoadfilesFromHardDrive() { WalkAccountFolder(GetAccountDir()); }

void Form1::LoadfilesFromHardDriveIfChanged() {
    const std::wstring accountFolder = GetAccountDir();
    if (walkSchedule_.walkDue(accountFolder)) WalkAccountFolder(accountFolder);
}

void Form1::WalkAccountFolder(const std::wstring& accountFolder) {
    walkLeftWatchedTree_ = false;
    LoadFilesFromDir(accountFolder);
    walkSchedule_.walked(!walkLeftWatchedTree_);
}

void Form1::LoadFilesFromDir(const std::wstring& folder) {
    if (walkDepth_ == 0) linkGuard_.start(folder);
    Nesting nesting(walkDepth_);

    // One listing gives files and sub-folders alike.
    FolderListing listing = ports_.files.list(folder);
    if (listing.status == FolderListing::Status::Failed) {
        walkLeftWatchedTree_ = true;
        // Logged once, not on every tick of the watcher; the entries the
        // listing did give are still used.
        if (unreadableFoldersReported_.insert(folder).second) {
            AddMessage(L"Could not read the folder " + folder + L": " + listing.error);
        }
    } else if (!unreadableFoldersReported_.empty()) {
        // Readable again: a later failure is news again.
        unreadableFoldersReported_.erase(folder);
    }

    MainWindow& window = ports_.window;
    for (const FolderEntry& entry : listing.entries) {
        if (entry.isFolder || !Walkable(entry) || !IsSavedDataFileName(entry.name)) continue;
        std::wstring text = FormatIt(folder);
        if (InListAlready(text)) continue;
        if (window.itemCount() >= kMaxEntries) {
            if (!entryLimitReported_) {
                entryLimitReported_ = true;
                AddMessage(L"There are more than " + std::to_wstring(kMaxEntries) +
                           L" saved-data folders; those beyond are not listed");
            }
            continue;
        }
        window.addItem(text);
        int count = window.itemCount();
        window.setItemChecked(count - 1, true);
        LastModified.resize(static_cast<std::size_t>(count));
        LastModified.back() = 0;
    }

    for (const FolderEntry& entry : listing.entries) {
        if (!entry.isFolder || !Walkable(entry)) continue;
        std::wstring path = folder + L"\\" + entry.name;
        if (entry.isLink) {
            if (!linkGuard_.mayEnter(ports_.files, path)) continue;
            walkLeftWatchedTree_ = true;
        }
        LoadFilesFromDir(path);
    }
}

bool Form1::InListAlready(const std::wstring& text) const { return listedEntries_.contains(ports_.window, text); }

}  // namespace hb
