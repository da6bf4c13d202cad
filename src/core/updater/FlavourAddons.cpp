#include "updater/FlavourAddons.h"

#include "updater/AddonPaths.h"
#include "updater/VersionText.h"

namespace hb {

namespace {

std::wstring FlavourName(const std::wstring& folder) { return folder.substr(folder.find_last_of(L"\\/") + 1); }

}  // namespace

std::vector<std::wstring> FlavourAddons::update(const std::wstring& source,
                                                const std::vector<std::wstring>& flavourFolders,
                                                const std::wstring& version) {
    std::vector<std::wstring> failures;
    // What the installed add-on calls itself: a flavour's copy that says the
    // same is up to date, even where that differs from the published text.
    std::wstring error;
    auto sourceToc = files_.readAll(JoinPath(source, kVersionFileName), error);
    if (!sourceToc) return failures;
    const auto sourceVersion = VersionFromTocText(codepage_.fromAnsi(*sourceToc));
    for (const std::wstring& flavour : flavourFolders) {
        const std::wstring target = JoinPath(flavour, kAddonSubfolder);
        if (!files_.folderExists(target)) continue;  // never installed there by the player
        auto installed = files_.readAll(JoinPath(target, kVersionFileName), error);
        if (installed && VersionFromTocText(codepage_.fromAnsi(*installed)) == sourceVersion) continue;
        error.clear();
        if (copyTree(source, target, error)) {
            log_.add(L"Hoardbook Mod Updated to version " + version + L" in " + FlavourName(flavour));
            continue;
        }
        std::wstring text = L"Hoardbook could not be updated to version " + version + L" in " + FlavourName(flavour) +
                            L": " + error;
        if (reported_.insert(version + L"|" + flavour).second) {
            log_.add(text);
            failures.push_back(std::move(text));
        }
    }
    return failures;
}

bool FlavourAddons::copyTree(const std::wstring& from, const std::wstring& to, std::wstring& error) {
    FolderListing listing = files_.list(from);
    if (listing.status != FolderListing::Status::Ok) {
        error = L"the folder " + from + L" could not be read";
        return false;
    }
    // The version file goes last, once everything else is in place: a copy
    // cut short leaves the flavour's add-on at its old version, tried again.
    const FolderEntry* versionFile = nullptr;
    for (const FolderEntry& entry : listing.entries) {
        const std::wstring source = JoinPath(from, entry.name);
        const std::wstring target = JoinPath(to, entry.name);
        if (entry.isFolder) {
            if (!files_.folderExists(target) && !files_.createFolder(target, error)) return false;
            if (!copyTree(source, target, error)) return false;
            continue;
        }
        if (IsVersionFileName(entry.name)) {
            versionFile = &entry;
            continue;
        }
        auto bytes = files_.readAll(source, error);
        if (!bytes || !files_.replaceAtomically(target, *bytes, error)) return false;
    }
    if (versionFile != nullptr) {
        auto bytes = files_.readAll(JoinPath(from, versionFile->name), error);
        if (!bytes || !files_.replaceAtomically(JoinPath(to, versionFile->name), *bytes, error)) return false;
    }
    return true;
}

}  // namespace hb
