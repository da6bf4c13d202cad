#include "gamedata/GameFolders.h"

#include <string_view>
#include <variant>

#include "base/registry.h"
#include "gamedata/EntryText.h"
#include "gamedata/GameSearch.h"

namespace hb {

namespace {
const std::wstring kGameKey = L"Software\\Blizzard Entertainment\\World of Warcraft";
const std::wstring kInstallPathValue = L"InstallPath";
}  // namespace

GameFolders::GameFolders(Registry& registry, MessageBoxes& boxes, ProgramExit& exit, FileSystem* files,
                         MessageLog* log)
    : registry_(registry), boxes_(boxes), exit_(exit), files_(files), log_(log) {}

std::wstring GameFolders::GetWoWDir() {
    // Read afresh on every call: the game may be moved while we run.
    RegistryValue value = GetRegistryValue(registry_, RegistryRoot::LocalMachine, kGameKey, kInstallPathValue);
    // Only text names a folder; a number or any other type counts as missing.
    std::wstring_view path;
    if (const auto* text = std::get_if<std::wstring>(&value)) path = *text;
    // Some installers store the text with more than one terminating zero;
    // everything from the first zero on is not part of the path.
    path = path.substr(0, path.find('\0'));
    // A folder seen once is taken as there: this runs for every entry the
    // watcher reads, and a game that goes away later is handled as before.
    const bool namesAFolder = !path.empty() && (files_ == nullptr || path == namedFolderSeen_ ||
                                                files_->folderExists(std::wstring(path)));
    if (namesAFolder) namedFolderSeen_ = path;
    if (!namesAFolder && files_ != nullptr) {
        if (!searched_) {
            searched_ = true;
            found_ = FindGameFolder(registry_, *files_);
            if (found_ && log_ != nullptr) {
                log_->add(L"The registry names no World of Warcraft folder; found the game in " + *found_);
            }
        }
        if (found_) return *found_;
    }
    // A folder the registry names but that is not there (a drive not
    // mounted yet) is kept as before: the scan finds nothing until it is.
    if (path.empty()) {
        MessageBoxRequest box;
        box.text =
            L"We were unable to locate your World of Warcraft Folder.  Apparently WoW is not properly "
            L"installed.\r\n\r\nHoardbookUploader will now exit";
        box.title = L"HoardbookUploader";
        box.buttons = BoxButtons::Ok;
        box.icon = BoxIcon::Stop;
        boxes_.show(box);
        exit_.endProgram();
    }
    return std::wstring(path);
}

std::wstring GameFolders::GetAccountDir() { return AccountFolderOf(GetWoWDir()); }

std::wstring GameFolders::FormatIt(const std::wstring& folder) { return EntryTextFor(folder, GetAccountDir()); }

std::vector<ScanRoot> GameFolders::ScanRoots() {
    const std::wstring installFolder = GetWoWDir();
    if (files_ == nullptr) return {ScanRoot{L"", installFolder, AccountFolderOf(installFolder)}};
    return ScanRootsOf(*files_, installFolder);
}

std::vector<std::wstring> GameFolders::OtherFlavourFolders() {
    const std::wstring installFolder = GetWoWDir();
    if (files_ == nullptr) return {};
    return OtherFlavourFoldersOf(*files_, installFolder);
}

std::wstring GameFolders::SavedDataFileOf(const std::wstring& entryText) {
    return SavedDataFileOfEntry(files_, GetWoWDir(), entryText);
}

}  // namespace hb
