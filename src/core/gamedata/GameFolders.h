#pragma once
// The game's folders: the install folder from the registry (or, without
// one, where the game is found), the account folders below it and its
// sibling flavours, and the entry text of a saved-data folder.

#include <optional>
#include <string>
#include <vector>

#include "gamedata/ScanRoots.h"
#include "ports/FileSystem.h"
#include "ports/MessageBoxes.h"
#include "ports/MessageLog.h"
#include "ports/ProgramExit.h"
#include "ports/Registry.h"

namespace hb {

class GameFolders {
public:
    // Without a file system only the registry's folder is known: no other
    // flavour is scanned and the game is not looked for elsewhere. The log
    // is told where the game was found when the registry did not say.
    GameFolders(Registry& registry, MessageBoxes& boxes, ProgramExit& exit, FileSystem* files = nullptr,
                MessageLog* log = nullptr);

    // The install folder as the registry names it. When it names none (or a
    // folder that is not there), the game's uninstall entries and the usual
    // folders are looked at; only when none holds the game is the user told
    // it is not installed, and the program ends.
    std::wstring GetWoWDir();
    // The install folder + "WTF\Account".
    std::wstring GetAccountDir();
    // The entry text of a folder holding a saved-data file.
    std::wstring FormatIt(const std::wstring& folder);
    // The account folders to walk: the install folder's first, then those of
    // the other flavours beside it.
    std::vector<ScanRoot> ScanRoots();
    // The other flavour folders of the game, whatever they hold.
    std::vector<std::wstring> OtherFlavourFolders();
    // The saved-data file an entry text stands for.
    std::wstring SavedDataFileOf(const std::wstring& entryText);

private:
    Registry& registry_;
    MessageBoxes& boxes_;
    ProgramExit& exit_;
    FileSystem* files_;
    MessageLog* log_;
    // Where the game was found beyond the registry: looked for once, when
    // the registry first names no folder.
    bool searched_ = false;
    std::wstring namedFolderSeen_;
    std::optional<std::wstring> found_;
};

}  // namespace hb
