#pragma once
// Keeps a folder walk from entering the same place twice through folder
// links (symbolic links, junctions).
//
// Links are followed, because players do keep account or character folders
// elsewhere and link them in; but only into places the walk has not
// covered: a link is entered only when its resolved target neither lies
// within nor contains the walk's root or any link target entered before.
// A link back up the tree therefore ends the descent instead of recursing
// until the stack overflows, and no folder is walked twice. Ordinary
// folders cannot form a loop, so only links cost a look-up.

#include <string>
#include <string_view>
#include <vector>

#include "ports/FileSystem.h"

namespace hb {

class LinkGuard {
public:
    // Starts a new walk from root.
    void start(std::wstring root);
    // Whether the walk may enter the folder link at this path; when so, its
    // target counts as covered from now on.
    bool mayEnter(FileSystem& files, const std::wstring& link);

private:
    std::wstring root_;
    bool rootResolved_ = false;
    std::vector<std::wstring> covered_;  // resolved places
};

// Whether path is folder or lies below it. Either separator counts, and
// case is ignored (as Windows does), so on a case-sensitive system two
// folders differing only in case count as one: the walk then skips a
// link rather than risk a second pass.
bool PathWithin(std::wstring_view path, std::wstring_view folder);

}  // namespace hb
