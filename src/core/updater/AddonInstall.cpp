#include "updater/AddonInstall.h"

#include <cstdint>

#include "updater/AddonFolder.h"
#include "updater/AddonPaths.h"
#include "updater/SafeFileName.h"
#include "updater/UpdateTexts.h"

namespace hb {

void AddonInstall::startVersion(const std::wstring& version, const std::wstring& addonFolder) {
    if (version == version_ && addonFolder == addonFolder_) return;
    version_ = version;
    addonFolder_ = addonFolder;
    versionInstalled_ = false;
    installedFiles_.clear();
    failureLogged_.clear();
}

InstallOutcome AddonInstall::install(const UpdateSource& source, const BoundedFileList& listed,
                                     const std::wstring& addonFolder, CheckPace& pace) {
    InstallOutcome outcome;
    outcome.refused = listed.refused;
    // The version file goes in last, and only when every other file arrived:
    // installed before a file that then fails, it would make every later
    // check take the half-installed add-on for the published one.
    std::vector<std::wstring> versionFiles;
    for (const std::wstring& name : listed.names) {
        if (IsVersionFileName(name)) {
            versionFiles.push_back(name);
        } else {
            fetch(source, name, addonFolder, pace, outcome);
        }
    }
    if (outcome.complete()) {
        for (const std::wstring& name : versionFiles) fetch(source, name, addonFolder, pace, outcome);
    }
    if (outcome.complete()) versionInstalled_ = true;
    return outcome;
}

void AddonInstall::fetch(const UpdateSource& source, const std::wstring& name, const std::wstring& addonFolder,
                         CheckPace& pace, InstallOutcome& outcome) {
    // Within one published version a file is fetched until it is installed.
    if (installedFiles_.count(name) != 0) return;
    // The names come from the network; one that could address anything
    // outside the add-on folder, or another file than it says, is never fetched.
    if (!IsSafeAddonFileName(name)) {
        if (failureLogged_.insert(name).second) {
            log_.add(name.size() > kMaxAddonFileNameLength
                         ? L"Hoardbook update: refused a file name of " + std::to_wstring(name.size()) +
                               L" characters, longer than a path can be"
                         : L"Hoardbook update: refused the file name \"" + Printable(name) +
                               L"\", which would be written outside the add-on folder or as another file");
        }
        outcome.failed.push_back(name);
        return;
    }
    const std::int64_t waitMs = pace.timeLeftMs();
    if (waitMs == 0) {
        ++outcome.outOfTime;
        return;
    }
    std::wstring folderError;
    DownloadResult file;
    const FailureReport report = pace.nextReport();
    if (EnsureFoldersFor(files_, addonFolder, name, folderError)) {
        file = transfers_.downloadToFile(source.url(name), JoinPath(addonFolder, name), report, waitMs);
    } else {
        file.failure = L"its folder could not be created: " + folderError;
    }
    if (file) {
        installedFiles_.insert(name);
        return;
    }
    pace.failed(report);
    outcome.failed.push_back(name);
    // A file that keeps failing is tried once per check (the checks'
    // period is its back-off) and logged once per version.
    if (report == FailureReport::LogOnly && failureLogged_.insert(name).second) {
        log_.add(L"Hoardbook update: the file \"" + Printable(name) + L"\" failed: " +
                 (file.failure.empty() ? L"no reason given" : file.failure));
    }
}

}  // namespace hb
