#include "gamedata/GameFolders.h"

#include <string_view>
#include <variant>

#include "gamedata/EntryText.h"
#include "settings/registry.h"

namespace hb {

namespace {
const std::string kGameKey = "Software\\Blizzard Entertainment\\World of Warcraft";
const std::string kInstallPathValue = "InstallPath";
}  // namespace

GameFolders::GameFolders(Registry& registry, MessageBoxes& boxes, Process& process, const Codepage& codepage)
    : registry_(registry), boxes_(boxes), process_(process), codepage_(codepage) {}

std::wstring GameFolders::GetWoWDir() {
    // Read afresh on every call: the game may be moved while we run.
    RegistryValue value = GetRegistryValue(registry_, RegistryRoot::LocalMachine, kGameKey, kInstallPathValue);
    // Only text names a folder; a number or any other type counts as missing.
    std::string_view path;
    if (const auto* text = std::get_if<std::string>(&value)) path = *text;
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
        boxes_.show(box);
        process_.endNow();
    }
    return codepage_.fromAnsi(path);
}

std::wstring GameFolders::GetAccountDir() { return AccountFolderOf(GetWoWDir()); }

std::wstring GameFolders::FormatIt(const std::wstring& folder) { return EntryTextFor(folder, GetAccountDir()); }

}  // namespace hb
