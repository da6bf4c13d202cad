#pragma once
// The folder of the program's own files: "settings.txt", "noupload.txt"
// and the log.
//
// Beside the executable while that folder can be written: a program kept in
// a folder of its own (portable, as the README suggests) keeps everything
// together, as it always did. A folder the player may not write to (the
// program put under "Program Files", where Windows programs usually live)
// would make every save fail, so the files then live in the per-user
// application-data folder, %LOCALAPPDATA%\HoardbookUploader, as installed
// Windows programs keep theirs. Decided once per run.
//
// Earlier versions opened the files by their bare names, so they lived in
// the working directory: the program's folder when started by hand, the
// system folder when started at logon; and where such a folder could not be
// written (Program Files, the system folder), Windows put them in the
// user's VirtualStore. At the first start that finds neither file in the
// chosen folder, the program takes over (copies) the pair from the first of
// those places that holds one; the old files stay where they are, for an
// earlier copy that may still use them.

#include <string>
#include <vector>

#include "ports/FileSystem.h"
#include "ports/MessageLog.h"
#include "ports/Process.h"

namespace hb {

inline constexpr const wchar_t* kSettingsFileName = L"settings.txt";
inline constexpr const wchar_t* kExclusionFileName = L"noupload.txt";
// The folder below %LOCALAPPDATA%.
inline constexpr const wchar_t* kPerUserFolderName = L"HoardbookUploader";

class SettingsLocation {
public:
    SettingsLocation(FileSystem& files, const Process& process);

    // The folder (no trailing backslash), decided at the first call.
    const std::wstring& folder();
    // Start-up, before the files are read: says in the log where the files
    // are when that is not beside the program, and takes over an earlier
    // version's files when the folder has none.
    void prepare(MessageLog& log);

    // The places an earlier version (or this one from another folder) may
    // have left its files, most recent first, without the chosen folder.
    std::vector<std::wstring> earlierPlaces();

private:
    FileSystem& files_;
    const Process& process_;
    std::wstring folder_;
    bool decided_ = false;
    bool besideProgram_ = true;

    std::wstring perUserFolder() const;
    bool holdsFiles(const std::wstring& folder);
    void takeOverEarlierFiles(MessageLog& log);
};

}  // namespace hb
