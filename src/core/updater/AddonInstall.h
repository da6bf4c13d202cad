#pragma once
// The check's third stage: the listed files fetched into an add-on folder,
// the version file last and only with all the others.

#include <cstddef>
#include <set>
#include <string>
#include <vector>

#include "net/Transfers.h"
#include "ports/FileSystem.h"
#include "ports/MessageLog.h"
#include "updater/CheckPace.h"
#include "updater/FileList.h"
#include "updater/UpdateSource.h"

namespace hb {

struct InstallOutcome {
    std::vector<std::wstring> failed;  // names refused or not installed, in the order tried
    std::size_t outOfTime = 0;         // names the check had no time left for
    std::size_t refused = 0;           // names beyond the list's bound
    // Every listed file is in, the version file with them.
    bool complete() const { return failed.empty() && outOfTime == 0 && refused == 0; }
};

// What this run knows of one published version in one add-on folder: once
// installed, it is not installed again (and not announced again), whatever
// the add-on's own version text says; within it, a file installed is not
// fetched again and a failing file is logged once. A game that moved while
// the program runs has a folder this knows nothing of.
class AddonInstall {
public:
    AddonInstall(FileSystem& files, Transfers& transfers, MessageLog& log)
        : files_(files), transfers_(transfers), log_(log) {}

    // The version and folder the next install belongs to; another version
    // or folder than the last one starts with nothing installed.
    void startVersion(const std::wstring& version, const std::wstring& addonFolder);
    // Every file of the version was installed by this run.
    bool versionInstalled() const { return versionInstalled_; }

    // Fetches the listed files from the source into addonFolder, in list
    // order but the version file last, and that only when every other file
    // arrived.
    InstallOutcome install(const UpdateSource& source, const BoundedFileList& listed, const std::wstring& addonFolder,
                           CheckPace& pace);

private:
    // One listed name into the outcome.
    void fetch(const UpdateSource& source, const std::wstring& name, const std::wstring& addonFolder, CheckPace& pace,
               InstallOutcome& outcome);

    FileSystem& files_;
    Transfers& transfers_;
    MessageLog& log_;
    std::wstring version_;                   // the published version the sets below belong to
    std::wstring addonFolder_;               // and the folder
    bool versionInstalled_ = false;          // every file of version_ installed by this run
    std::set<std::wstring> installedFiles_;  // of version_
    std::set<std::wstring> failureLogged_;   // files of version_ whose failure is in the log
};

}  // namespace hb
