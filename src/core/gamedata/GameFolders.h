#pragma once
// The game's folders: the install folder from the registry, the account
// folder below it, and the entry text of a saved-data folder.

#include <string>

#include "ports/MessageBoxes.h"
#include "ports/Process.h"
#include "ports/Registry.h"

namespace hb {

class GameFolders {
public:
    GameFolders(Registry& registry, MessageBoxes& boxes, Process& process, const Codepage& codepage);

    // The install folder as the registry names it. Without one the game is
    // not installed: the user is told and the program ends.
    std::wstring GetWoWDir();
    // The install folder + "WTF\Account".
    std::wstring GetAccountDir();
    // The entry text of a folder holding a saved-data file.
    std::wstring FormatIt(const std::wstring& folder);

private:
    Registry& registry_;
    MessageBoxes& boxes_;
    Process& process_;
    const Codepage& codepage_;
};

}  // namespace hb
