#pragma once
// Keeps a folder walk from entering the same folder twice, whatever kind of
// link leads there again: symbolic links and junctions that the system
// shows as links, and those it shows as ordinary folders (Wine shows a Unix
// symbolic link so; a bind mount looks ordinary everywhere).
//
// Every folder is known by its identity (volume and file index, which Wine
// takes from the device and inode), so a folder already walked, or one that
// holds the walk's root (a link back up the tree), is not entered: a loop
// ends at once instead of listing phantom entries until paths grow too long.
// Links are followed otherwise, because players do keep account or
// character folders elsewhere and link them in. A link the system does
// show, and whose target lies within the root, is left to the walk of its
// real place, so its entries keep their real names.

#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "ports/FileSystem.h"

namespace hb {

class LinkGuard {
public:
    // Starts a new walk from root; the root itself counts as walked.
    void start(std::wstring root);
    // Adds another root to the same walk (another flavour's account folder):
    // false when the walk has been there already, through a link.
    bool addRoot(FileSystem& files, std::wstring root);
    // Whether the walk may enter this folder; when so, it counts as walked
    // from now on. isLink: the listing showed it as a link.
    bool mayEnter(FileSystem& files, const std::wstring& folder, bool isLink);

private:
    // The identities of each root and of every folder above it, and the
    // roots' resolved paths, looked up once per walk when first needed.
    void learnRoots(FileSystem& files);
    void learnRoot(FileSystem& files, const std::wstring& root);

    std::vector<std::wstring> roots_;
    std::size_t rootsLearned_ = 0;
    std::vector<std::wstring> resolvedRoots_;
    std::set<FolderIdentity> aboveRoot_;
    std::set<FolderIdentity> walked_;
};

// Whether path is folder or lies below it. Either separator counts, and
// case is ignored (as Windows does), so on a case-sensitive system two
// folders differing only in case count as one: the walk then skips a
// link rather than risk a second pass.
bool PathWithin(std::wstring_view path, std::wstring_view folder);

}  // namespace hb
