// The add-on check and the schedule Timer1 keeps for it.
//
// How failures reach the user: the check made at start-up behaves like any
// other action the user is watching, so downloads show their message boxes
// and an incomplete update is announced in a box. The periodic check runs
// every half hour from Timer1, usually while the player is in the game; a
// modal box each time the server is down would interrupt the game for
// nothing, so its downloads are quiet and every failure becomes a line in
// the message log. A completed update is announced in a box either way.

#include <string>
#include <vector>

#include "base/ScopedValue.h"
#include "updater/AddonPaths.h"
#include "updater/AddonUpdater.h"
#include "updater/FileList.h"
#include "updater/SafeFileName.h"
#include "updater/UpdateHost.h"
#include "updater/UpdateSchedule.h"
#include "updater/VersionText.h"

namespace hb {

namespace {

// Makes sure the folder exists, creating only its last level.
bool EnsureFolder(FileSystem& files, const std::wstring& folder, std::wstring& error) {
    if (!files.pathExists(folder)) return files.createFolder(folder, error);
    if (files.folderExists(folder)) return true;
    error = L"a file of that name is in the way";
    return false;
}

// Server-supplied names go into log lines and boxes; control characters in
// them would break the log's line structure.
std::wstring Printable(const std::wstring& name) {
    std::wstring text;
    for (wchar_t c : name) text.push_back(c < 0x20 || c == 0x7F ? L'?' : c);
    return text;
}

std::wstring JoinNames(const std::vector<std::wstring>& names) {
    std::wstring text;
    for (const auto& name : names) {
        if (!text.empty()) text += L", ";
        text += L"\"" + Printable(name) + L"\"";
    }
    return text;
}

}  // namespace

AddonUpdater::AddonUpdater(FileSystem& files, MessageBoxes& boxes, const Codepage& codepage, MessageLog& log,
                           GameFolders& folders, Transfers& transfers, std::wstring updateHost)
    : files_(files), boxes_(boxes), codepage_(codepage), log_(log), folders_(folders), transfers_(transfers),
      updateHost_(std::move(updateHost)) {}

void AddonUpdater::InitializeFolders() {
    std::wstring error;
    EnsureFolder(files_, JoinPath(folders_.GetWoWDir(), kAddonSubfolder), error);
}

std::optional<std::wstring> AddonUpdater::GetMyVersion() {
    InitializeFolders();
    std::wstring path = JoinPath(JoinPath(folders_.GetWoWDir(), kAddonSubfolder), kVersionFileName);
    std::wstring error;
    std::optional<std::string> bytes = files_.readAll(path, error);
    if (!bytes) return std::nullopt;
    return VersionFromTocText(codepage_.fromAnsi(*bytes));
}

void AddonUpdater::Timer1_Timer() {
    // The counter is reset before the check: ticks that arrive while the
    // check waits for the network count towards the next period.
    if (UpdateCheckDue(ticks_)) {
        ticks_ = 0;
        CheckVersionAndDownload();
    }
    ++ticks_;
}

void AddonUpdater::CheckVersionAndDownload() {
    if (checking_) return;
    const bool periodic = startupCheckDone_;
    startupCheckDone_ = true;
    check(periodic ? FailureReport::LogOnly : FailureReport::Box);
}

void AddonUpdater::check(FailureReport report) {
    // Downloads pump window messages; a check never starts inside another.
    if (checking_) return;
    ScopedValue checking(checking_, true);
    const bool periodic = report == FailureReport::LogOnly;

    // Without an update server of its own (a build left with the placeholder
    // host) every check could only fail: say so once instead.
    if (!IsConfiguredUpdateHost(updateHost_)) {
        if (!periodic) log_.add(L"Add-on updates are off: no update server is set");
        return;
    }

    const std::wstring baseUrl = UpdateBaseUrl(updateHost_);
    auto failureText = [](const DownloadResult& download, const std::wstring& whenEmpty) {
        return download.failure.empty() ? whenEmpty : L"could not be fetched: " + download.failure;
    };

    // An empty (or blank) answer is no version at all: comparing it would
    // "update" to nothing on every check while the server is down.
    const DownloadResult version = transfers_.download(baseUrl + std::wstring(kServerVersionName), report);
    const std::wstring serverVersion = ServerVersionFromText(version.text.value_or(L""));
    if (TrimSpaces(serverVersion).empty()) {
        log_.add(L"Hoardbook update check failed: the published version " + failureText(version, L"is empty"));
        return;
    }

    if (GetMyVersion() == serverVersion) return;

    const std::wstring addonFolder = JoinPath(folders_.GetWoWDir(), kAddonSubfolder);
    auto reportIncomplete = [&](const std::wstring& why) {
        std::wstring text = L"Hoardbook could not be updated to version " + serverVersion + L": " + why;
        if (!periodic) boxes_.show({text});
        log_.add(text);
    };

    std::wstring error;
    if (!EnsureFolder(files_, addonFolder, error)) {
        reportIncomplete(L"the folder " + addonFolder + L" could not be created: " + error);
        return;
    }

    const DownloadResult list = transfers_.download(baseUrl + std::wstring(kServerFileListName), report);
    const std::vector<std::wstring> names = SplitFileList(list.text.value_or(L""));
    if (names.empty()) {
        reportIncomplete(L"the list of its files " + failureText(list, L"is empty"));
        return;
    }

    std::vector<std::wstring> failed;
    auto fetch = [&](const std::wstring& name) {
        // The names come from the network; one that could address anything
        // outside the add-on folder is never fetched.
        if (!IsSafeAddonFileName(name)) {
            log_.add(L"Hoardbook update: refused the file name \"" + Printable(name) +
                     L"\", which would be written outside the add-on folder");
            failed.push_back(name);
            return;
        }
        const DownloadResult file = transfers_.downloadToFile(baseUrl + name, JoinPath(addonFolder, name), report);
        if (!file) {
            if (periodic) {
                log_.add(L"Hoardbook update: the file \"" + Printable(name) + L"\" failed: " +
                         (file.failure.empty() ? L"no reason given" : file.failure));
            }
            failed.push_back(name);
        }
    };
    // The version file goes in last, and only when every other file arrived:
    // installed before a file that then fails, it would make every later
    // check take the half-installed add-on for the published one.
    std::vector<std::wstring> versionFiles;
    for (const std::wstring& name : names) {
        if (IsVersionFileName(name)) {
            versionFiles.push_back(name);
        } else {
            fetch(name);
        }
    }
    if (failed.empty()) {
        for (const std::wstring& name : versionFiles) fetch(name);
    }

    // A version whose files did not all arrive is not installed.
    if (!failed.empty()) {
        reportIncomplete(L"these files failed: " + JoinNames(failed));
        return;
    }
    boxes_.show({L"Hoardbook has been updated to version " + serverVersion});
    log_.add(L"Hoardbook Mod Updated to version " + serverVersion);
}

}  // namespace hb
