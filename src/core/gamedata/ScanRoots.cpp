#include "gamedata/ScanRoots.h"

#include <algorithm>

#include "gamedata/EntryText.h"

namespace hb {

namespace {

std::wstring_view WithoutTrailingSeparators(std::wstring_view path) {
    while (path.size() > 1 && (path.back() == L'\\' || path.back() == L'/')) path.remove_suffix(1);
    return path;
}

bool StartsWithoutCase(std::wstring_view text, std::wstring_view start) {
    return text.size() >= start.size() && SameWithoutCase(text.substr(0, start.size()), start);
}

}  // namespace

bool IsFlavourFolderName(std::wstring_view name) {
    if (name.size() < 3 || name.front() != L'_' || name.back() != L'_') return false;
    return std::all_of(name.begin() + 1, name.end() - 1,
                       [](wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || c == L'_'; });
}

namespace {

// The folder holding the flavours, and the named folder's own flavour name
// ("" when it names the game folder itself).
struct GameLayout {
    std::wstring named;
    std::wstring gameFolder;
    std::wstring namedFlavour;
};

GameLayout LayoutOf(std::wstring_view installFolder) {
    GameLayout layout;
    layout.named = std::wstring(WithoutTrailingSeparators(installFolder));
    layout.gameFolder = layout.named;
    const std::size_t separator = layout.named.find_last_of(L"\\/");
    if (separator != std::wstring::npos &&
        IsFlavourFolderName(std::wstring_view(layout.named).substr(separator + 1))) {
        layout.gameFolder = layout.named.substr(0, separator);
        layout.namedFlavour = layout.named.substr(separator + 1);
    }
    return layout;
}

}  // namespace

std::vector<std::wstring> OtherFlavourFoldersOf(FileSystem& files, std::wstring_view installFolder) {
    const GameLayout layout = LayoutOf(installFolder);
    if (layout.named.empty()) return {};
    const std::wstring& game = layout.gameFolder;
    FolderListing listing = files.list(game.size() == 2 && game[1] == L':' ? game + L'\\' : game);
    std::vector<std::wstring> names;
    for (const FolderEntry& entry : listing.entries) {
        if (!entry.isFolder || !IsFlavourFolderName(entry.name)) continue;
        if (!layout.namedFlavour.empty() && SameWithoutCase(entry.name, layout.namedFlavour)) continue;
        names.push_back(entry.name);
    }
    std::sort(names.begin(), names.end());
    for (std::wstring& name : names) name = game + L'\\' + name;
    return names;
}

std::vector<ScanRoot> ScanRootsOf(FileSystem& files, std::wstring_view installFolder) {
    std::vector<ScanRoot> roots;
    roots.push_back({L"", LayoutOf(installFolder).named, AccountFolderOf(installFolder)});
    for (std::wstring& folder : OtherFlavourFoldersOf(files, installFolder)) {
        std::wstring account = AccountFolderOf(folder);
        if (!files.folderExists(account)) continue;
        std::wstring prefix = folder.substr(folder.find_last_of(L'\\') + 1) + L'\\';
        roots.push_back({std::move(prefix), std::move(folder), std::move(account)});
    }
    return roots;
}

std::wstring SavedDataFileOfEntry(FileSystem* files, std::wstring_view installFolder, std::wstring_view entryText) {
    // Only a text whose first folder is named like a flavour can be one of
    // another flavour's: the rest need no look at the disk.
    const std::size_t separator = entryText.find(L'\\');
    const std::wstring_view first = entryText.substr(0, separator);
    if (files != nullptr && separator != std::wstring_view::npos && IsFlavourFolderName(first)) {
        const GameLayout layout = LayoutOf(installFolder);
        if (!layout.named.empty() && !SameWithoutCase(first, layout.namedFlavour)) {
            std::wstring account = AccountFolderOf(layout.gameFolder + L'\\' + std::wstring(first));
            if (files->folderExists(account)) return SavedDataFileFor(account, entryText.substr(separator + 1));
        }
    }
    return SavedDataFileFor(AccountFolderOf(installFolder), entryText);
}

const ScanRoot& RootOfEntry(const std::vector<ScanRoot>& roots, std::wstring_view entryText,
                            std::wstring_view& rest) {
    for (std::size_t i = 1; i < roots.size(); ++i) {
        if (StartsWithoutCase(entryText, roots[i].prefix)) {
            rest = entryText.substr(roots[i].prefix.size());
            return roots[i];
        }
    }
    rest = entryText;
    return roots.front();
}

bool ShadowsAFlavour(const std::vector<ScanRoot>& roots, std::wstring_view plainEntryText) {
    std::wstring_view rest;
    return &RootOfEntry(roots, plainEntryText, rest) != &roots.front();
}

}  // namespace hb
