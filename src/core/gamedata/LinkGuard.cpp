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
    root_ = std::move(root);
    rootResolved_ = false;
    covered_.clear();
}

bool LinkGuard::mayEnter(FileSystem& files, const std::wstring& link) {
    if (!rootResolved_) {
        // Resolved only when the first link turns up: most walks meet none.
        rootResolved_ = true;
        if (auto root = files.resolvedPath(root_)) covered_.push_back(std::move(*root));
    }
    auto target = files.resolvedPath(link);
    if (!target) return false;  // dangling, or nothing we can vouch for
    for (const auto& place : covered_) {
        if (PathWithin(*target, place) || PathWithin(place, *target)) return false;
    }
    covered_.push_back(std::move(*target));
    return true;
}

}  // namespace hb
