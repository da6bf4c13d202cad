// The game's folders: the install folder from the registry, the account
// folder below it, and the entry text of a saved-data folder.

#include <string_view>
#include <variant>

#include "gamedata/EntryText.h"
#include "settings/registry.h"
#include "shell/Form1.h"

namespace hb {

namespace {
const std::wstring kGameKey = L"Software\\Blizzard Entertainment\\World of Warcraft";
const std::wstring kInstallPathValue = L"InstallPath";
}  // namespace

std::wstring Form1::GetWoWDir() {
    // Read afresh on every call: the game may be moved while we run.
    RegistryValue value = GetRegistryValue(ports_.registry, RegistryRoot::LocalMachine, kGameKey, kInstallPathValue);
    // Only text names a folder; a number or any other type counts as missing.
    std::wstring_view path;
    if (const auto* text = std::get_if<std::wstring>(&value)) path = *text;
    // Some installers store the text with more than one terminating zero;
    // everything from the first zero on is not part of the path.
    path = path.substr(0, path.find('\0'));
    if (path.empty()) {
        MessageBoxRequest box;
        box.text =
            L"We were unable to locate your World of Warcraft Folder.  Apparently WoW is not properly "
            L"installed.\r\n\r\nHoardbookUploader will now exit";
        box.title = L"HoardbookUploader";
        box.buttons = BoxButtons::Ok;
        box.icon = BoxIcon::Stop;
        ports_.boxes.show(box);
        ports_.process.endNow();
    }
    return std::wstring(path);
}

std::wstring Form1::GetAccountDir() { return AccountFolderOf(GetWoWDir()); }

std::wstring Form1::FormatIt(const std::wstring& folder) { return EntryTextFor(folder, GetAccountDir()); }

}  // namespace hb
