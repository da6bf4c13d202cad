#pragma once
// The add-on in the game's other flavours. The updater installs the
// published version into the folder the registry names; every other
// flavour folder whose player installed the add-on there gets the same
// files copied from it (the version file last), so each flavour's copy
// says its own version. A flavour without the add-on is left alone.

#include <set>
#include <string>
#include <vector>

#include "ports/FileSystem.h"
#include "ports/MessageLog.h"
#include "ports/Process.h"

namespace hb {

class FlavourAddons {
public:
    FlavourAddons(FileSystem& files, const Codepage& codepage, MessageLog& log)
        : files_(files), codepage_(codepage), log_(log) {}

    // Brings the add-on of each flavour folder that has one to the version
    // installed in the add-on folder source (published as version). A failure in one flavour stops
    // neither the others nor the program; it is logged once per version and
    // flavour, and returned (one text each) for a box.
    std::vector<std::wstring> update(const std::wstring& source, const std::vector<std::wstring>& flavourFolders,
                                     const std::wstring& version);

private:
    bool copyTree(const std::wstring& from, const std::wstring& to, std::wstring& error);

    FileSystem& files_;
    const Codepage& codepage_;
    MessageLog& log_;
    std::set<std::wstring> reported_;  // "version|folder" whose failure was told
};

}  // namespace hb
