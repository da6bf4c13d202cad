#pragma once
// The account folders the scan walks. The game's launcher installs each
// flavour (retail, Classic, Classic Era, test realms...) as a folder named
// "_name_" beside the others in one game folder, each with its own WTF and
// add-ons; the registry names one of them. Every flavour that holds an
// account folder is walked. The entries of the folder the registry names
// keep their plain text; those of the other flavours carry the flavour
// folder in front ("_classic_era_\ACCOUNT\Realm\Character"), so each text
// leads back to exactly one file.

#include <string>
#include <string_view>
#include <vector>

#include "ports/FileSystem.h"

namespace hb {

struct ScanRoot {
    std::wstring prefix;         // "" for the named folder, else "_name_\"
    std::wstring installFolder;  // the flavour's folder, without a trailing "\"
    std::wstring accountFolder;  // installFolder + "\WTF\Account"
};

// Whether a folder name has the flavour form: "_", letters, "_".
bool IsFlavourFolderName(std::wstring_view name);

// The named folder first (always, as before), then every other flavour
// folder holding "WTF\Account", by name: its siblings when the named folder
// is a flavour folder, its sub-folders when it is the game folder itself.
std::vector<ScanRoot> ScanRootsOf(FileSystem& files, std::wstring_view installFolder);

// The saved-data file an entry text stands for, as the scan's roots would
// give it, looking at the disk only for a text that starts like a flavour.
// Without a file system every text is one of the named folder.
std::wstring SavedDataFileOfEntry(FileSystem* files, std::wstring_view installFolder, std::wstring_view entryText);

// Every flavour folder beside (or, for the game folder, below) the named
// one, by name, whatever it holds; the named folder itself is not among them.
std::vector<std::wstring> OtherFlavourFoldersOf(FileSystem& files, std::wstring_view installFolder);

// The root an entry text belongs to: the flavour whose prefix starts it,
// else the named folder. rest: the text without that prefix.
const ScanRoot& RootOfEntry(const std::vector<ScanRoot>& roots, std::wstring_view entryText,
                            std::wstring_view& rest);

// Whether an entry text of the named folder would read like one of another
// flavour (its first folder is named like a scanned flavour folder): such
// an entry is not listed, so that no text stands for two files.
bool ShadowsAFlavour(const std::vector<ScanRoot>& roots, std::wstring_view plainEntryText);

}  // namespace hb
