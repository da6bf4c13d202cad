// The add-on updater: keeps the game's Hoardbook add-on at the version its
// update server publishes.
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

#include "shell/Form1.h"
#include "updater/AddonPaths.h"
#include "updater/FileList.h"
#include "updater/SafeFileName.h"
#include "updater/UpdateHost.h"
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

// Restores the check's flags however the check ends.
class CheckScope {
public:
    CheckScope(bool& checking, bool& quiet, bool quietNow) : checking_(checking), quiet_(quiet), oldQuiet_(quiet) {
        checking_ = true;
        quiet_ = quietNow;
    }
    ~CheckScope() {
        checking_ = false;
        quiet_ = oldQuiet_;
    }
    CheckScope(const CheckScope&) = delete;
    CheckScope& operator=(const CheckScope&) = delete;

private:
    bool& checking_;
    bool& quiet_;
    bool oldQuiet_;
};

}  // namespace

void Form1::InitializeFolders() {
    std::wstring error;
    EnsureFolder(ports_.files, JoinPath(GetWoWDir(), kAddonSubfolder), error);
}

std::optional<std::wstring> Form1::GetMyVersion() {
    InitializeFolders();
    std::wstring path = JoinPath(JoinPath(GetWoWDir(), kAddonSubfolder), kVersionFileName);
    std::wstring error;
    std::optional<std::string> bytes = ports_.files.readAll(path, error);
    if (!bytes) return std::nullopt;
    return VersionFromTocText(ports_.codepage.fromAnsi(*bytes));
}

void Form1::CheckVersionAndDownload() {
    // Downloads pump window messages; a check never starts inside another.
    if (checkingForUpdate_) return;
    const bool periodic = startupCheckDone_;
    startupCheckDone_ = true;
    CheckScope scope(checkingForUpdate_, quietDownloads_, periodic);

    // Without an update server of its own (a build left with the placeholder
    // host) every check could only fail: say so once instead.
    if (!IsConfiguredUpdateHost(options_.updateHost)) {
        if (!periodic) AddMessage(L"Add-on updates are off: no update server is set");
        return;
    }

    const std::wstring baseUrl = UpdateBaseUrl(options_.updateHost);
    auto failureText = [this](const std::wstring& whenEmpty) {
        return lastDownloadFailure_.empty() ? whenEmpty : L"could not be fetched: " + lastDownloadFailure_;
    };

    // An empty (or blank) answer is no version at all: comparing it would
    // "update" to nothing on every check while the server is down.
    lastDownloadFailure_.clear();
    const std::wstring serverVersion = ServerVersionFromText(QuickDownload(baseUrl + std::wstring(kServerVersionName)));
    if (TrimSpaces(serverVersion).empty()) {
        AddMessage(L"Hoardbook update check failed: the published version " +
                   failureText(L"is empty"));
        return;
    }

    if (GetMyVersion() == serverVersion) return;

    const std::wstring addonFolder = JoinPath(GetWoWDir(), kAddonSubfolder);
    auto reportIncomplete = [&](const std::wstring& why) {
        std::wstring text = L"Hoardbook could not be updated to version " + serverVersion + L": " + why;
        if (!periodic) ports_.boxes.show({text});
        AddMessage(text);
    };

    std::wstring error;
    if (!EnsureFolder(ports_.files, addonFolder, error)) {
        reportIncomplete(L"the folder " + addonFolder + L" could not be created: " + error);
        return;
    }

    lastDownloadFailure_.clear();
    const std::vector<std::wstring> names = SplitFileList(QuickDownload(baseUrl + std::wstring(kServerFileListName)));
    if (names.empty()) {
        reportIncomplete(L"the list of its files " + failureText(L"is empty"));
        return;
    }

    std::vector<std::wstring> failed;
    auto fetch = [&](const std::wstring& name) {
        // The names come from the network; one that could address anything
        // outside the add-on folder is never fetched.
        if (!IsSafeAddonFileName(name)) {
            AddMessage(L"Hoardbook update: refused the file name \"" + Printable(name) +
                       L"\", which would be written outside the add-on folder");
            failed.push_back(name);
            return;
        }
        lastDownloadFailure_.clear();
        if (!QuickDownloadToFile(baseUrl + name, JoinPath(addonFolder, name))) {
            if (periodic) {
                AddMessage(L"Hoardbook update: the file \"" + Printable(name) + L"\" failed: " +
                           (lastDownloadFailure_.empty() ? L"no reason given" : lastDownloadFailure_));
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
    ports_.boxes.show({L"Hoardbook has been updated to version " + serverVersion});
    AddMessage(L"Hoardbook Mod Updated to version " + serverVersion);
}

}  // namespace hb
