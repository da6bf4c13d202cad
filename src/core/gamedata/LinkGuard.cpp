#include "gamedata/LinkGuard.h"

#include "gamedata/EntryText.h"

namespace hb {

namespace {
bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

std::wstring_view WithoutTrailingSeparators(std::wstring_view path) {
    while (path.size() > 1 && IsSeparator(path.back())) path.remove_suffix(1);
    return path;
}
}  // namespace

bool PathWithin(std::wstring_view path, std::wstring_view folder) {
    path = WithoutTrailingSeparators(path);
    folder = WithoutTrailingSeparators(folder);
    if (path.size() < folder.size()) return false;
    for (std::size_t i = 0; i < folder.size(); ++i) {
        wchar_t a = path[i];
        wchar_t b = folder[i];
        if (IsSeparator(a) && IsSeparator(b)) continue;
        if (a != b && UpperCaseOf(a) != UpperCaseOf(b)) return false;
    }
    return path.size() == folder.size() || IsSeparator(path[folder.size()]) ||
           (!folder.empty() && IsSeparator(folder.back()));
}

void LinkGuard::start(std::wstring root) {
    roots_.assign(1, std::move(root));
    rootsLearned_ = 0;
    resolvedRoots_.clear();
    aboveRoot_.clear();
    walked_.clear();
}

bool LinkGuard::addRoot(FileSystem& files, std::wstring root) {
    learnRoots(files);
    auto identity = files.folderIdentity(root);
    if (identity && walked_.count(*identity) != 0) return false;
    roots_.push_back(std::move(root));
    learnRoots(files);
    return true;
}

void LinkGuard::learnRoots(FileSystem& files) {
    for (; rootsLearned_ < roots_.size(); ++rootsLearned_) learnRoot(files, roots_[rootsLearned_]);
}

void LinkGuard::learnRoot(FileSystem& files, const std::wstring& rootFolder) {
    if (auto root = files.folderIdentity(rootFolder)) walked_.insert(*root);
    if (auto resolved = files.resolvedPath(rootFolder)) resolvedRoots_.push_back(*resolved);
    // Each folder above the root, up to the drive's or file system's root:
    // a link to one of them leads back over the root and the rest of the disk.
    std::wstring_view above = WithoutTrailingSeparators(rootFolder);
    for (std::size_t separator; (separator = above.find_last_of(L"\\/")) != std::wstring_view::npos;) {
        std::wstring folder(above.substr(0, separator == 0 ? 1 : separator));  // "/" is a folder too
        // "C:" alone means the drive's current folder, not its root.
        const bool driveRoot = folder.size() == 2 && folder[1] == L':';
        if (driveRoot) folder += L'\\';
        if (auto identity = files.folderIdentity(folder)) aboveRoot_.insert(*identity);
        if (separator == 0 || driveRoot) break;
        above = WithoutTrailingSeparators(above.substr(0, separator));
    }
}

bool LinkGuard::mayEnter(FileSystem& files, const std::wstring& folder, bool isLink) {
    learnRoots(files);
    auto identity = files.folderIdentity(folder);
    // A link that cannot be opened is dangling, or nothing we can vouch for;
    // an ordinary folder the system cannot identify is walked as always.
    if (!identity) return !isLink;
    if (walked_.count(*identity) != 0 || aboveRoot_.count(*identity) != 0) return false;
    if (isLink && !resolvedRoots_.empty()) {
        auto target = files.resolvedPath(folder);
        if (!target) return false;
        for (const std::wstring& root : resolvedRoots_) {
            if (PathWithin(*target, root)) return false;
        }
    }
    walked_.insert(*identity);
    return true;
}

}  // namespace hb
