// The add-on check and the schedule Timer1 keeps for it.
//
// How failures reach the user: the check made at start-up behaves like any
// other action the user is watching, so downloads show their message boxes
// and an incomplete update is announced in a box. The periodic check runs
// every half hour from Timer1, usually while the player is in the game; a
// modal box each time the server is down would interrupt the game for
// nothing, so its downloads are quiet and every failure becomes a line in
// the message log. A completed update is announced in a box either way.

#include <algorithm>
#include <cstdint>
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

// Makes sure the folders a listed name ("Libs\X.lua", already found safe)
// needs below the add-on folder exist, one level at a time.
bool EnsureFoldersFor(FileSystem& files, const std::wstring& addonFolder, const std::wstring& name,
                      std::wstring& error) {
    for (std::size_t end = name.find_first_of(L"\\/"); end != std::wstring::npos;
         end = name.find_first_of(L"\\/", end + 1)) {
        std::wstring part = name.substr(0, end);
        for (wchar_t& c : part) {
            if (c == L'/') c = L'\\';
        }
        if (!EnsureFolder(files, JoinPath(addonFolder, part), error)) return false;
    }
    return true;
}

// Server-supplied names go into log lines and boxes: control characters in
// them would break the log's line structure, and a name of megabytes would
// freeze the window that shows it.
std::wstring Printable(const std::wstring& name) {
    constexpr std::size_t kMaxShown = 100;
    std::wstring text;
    for (wchar_t c : name.substr(0, kMaxShown)) text.push_back(c < 0x20 || c == 0x7F ? L'?' : c);
    if (name.size() > kMaxShown) text += L"...";
    return text;
}

// The first few names, then how many more.
std::wstring JoinNames(const std::vector<std::wstring>& names) {
    constexpr std::size_t kMaxNamed = 5;
    std::wstring text;
    for (std::size_t i = 0; i < names.size() && i < kMaxNamed; ++i) {
        if (!text.empty()) text += L", ";
        text += L"\"" + Printable(names[i]) + L"\"";
    }
    if (names.size() > kMaxNamed) text += L" and " + std::to_wstring(names.size() - kMaxNamed) + L" more";
    return text;
}

}  // namespace

AddonUpdater::AddonUpdater(FileSystem& files, MessageBoxes& boxes, const Process& process, const Codepage& codepage,
                           MessageLog& log, GameFolders& folders, Transfers& transfers, std::wstring updateHost)
    : files_(files), boxes_(boxes), process_(process), codepage_(codepage), log_(log), folders_(folders),
      transfers_(transfers), updateHost_(std::move(updateHost)), flavours_(files, codepage, log) {}

void AddonUpdater::updateOtherFlavours(const std::wstring& version, bool periodic) {
    const std::wstring source = JoinPath(folders_.GetWoWDir(), kAddonSubfolder);
    for (const std::wstring& failure : flavours_.update(source, folders_.OtherFlavourFolders(), version)) {
        if (!periodic) boxes_.show({failure});
    }
}

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

void AddonUpdater::startVersion(const std::wstring& version) {
    if (version == version_) return;
    version_ = version;
    versionInstalled_ = false;
    installedFiles_.clear();
    failureLogged_.clear();
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
    // One bound for the whole check. At start-up each download waits at
    // most for what is left; later, one started in time runs to its own bounds.
    const std::int64_t deadline = process_.monotonicMs() + (periodic ? kPeriodicCheckBudgetMs : kStartupCheckBudgetMs);
    auto timeLeftMs = [&]() -> std::int64_t {
        const std::int64_t left = std::max<std::int64_t>(deadline - process_.monotonicMs(), 0);
        if (periodic) return left == 0 ? 0 : kTransferTotalMs;
        return left;
    };
    // At start-up the first failed download shows its box; the others of
    // the same check go to the log and into the summary box.
    bool failureBoxed = false;
    auto reportNext = [&] { return periodic || failureBoxed ? FailureReport::LogOnly : FailureReport::Box; };
    auto noteFailure = [&](FailureReport asked) {
        if (asked == FailureReport::Box) failureBoxed = true;
    };

    // An empty answer is no version at all: comparing it would "update" to
    // nothing on every check while the server is down; and a broken server's
    // page or random bytes would be announced as a version.
    const FailureReport versionReport = reportNext();
    const DownloadResult version =
        transfers_.download(baseUrl + std::wstring(kServerVersionName), versionReport, timeLeftMs());
    const std::wstring serverVersion = ServerVersionFromText(version.text.value_or(L""));
    if (!version) {
        log_.add(L"Hoardbook update check failed: the published version " + failureText(version, L""));
        return;
    }
    if (const std::optional<std::wstring> why = WhyNotAVersion(serverVersion)) {
        log_.add(L"Hoardbook update check failed: the published version " + *why);
        return;
    }

    startVersion(serverVersion);
    // Installed by this run already: an add-on whose own version text
    // differs from the published one must not be fetched and announced again
    // and again.
    if (versionInstalled_ || GetMyVersion() == serverVersion) {
        updateOtherFlavours(serverVersion, periodic);
        return;
    }

    const std::wstring addonFolder = JoinPath(folders_.GetWoWDir(), kAddonSubfolder);
    auto reportIncomplete = [&](const std::wstring& why) {
        std::wstring text = L"Hoardbook could not be updated to version " + serverVersion + L": " + why;
        if (!periodic) {
            boxes_.show({text});
        } else if (text == lastIncompleteLogged_) {
            return;  // said already; the check goes on every half hour
        }
        lastIncompleteLogged_ = text;
        log_.add(text);
    };

    std::wstring error;
    if (!EnsureFolder(files_, addonFolder, error)) {
        reportIncomplete(L"the folder " + addonFolder + L" could not be created: " + error);
        return;
    }

    const FailureReport listReport = reportNext();
    const DownloadResult list = transfers_.download(baseUrl + std::wstring(kServerFileListName), listReport, timeLeftMs());
    if (!list) noteFailure(listReport);
    const BoundedFileList listed = SplitBoundedFileList(list.text.value_or(L""));
    if (listed.names.empty()) {
        reportIncomplete(L"the list of its files " + failureText(list, L"is empty"));
        return;
    }
    if (listed.refused > 0) {
        log_.add(L"Hoardbook update: the file list names " + std::to_wstring(listed.names.size() + listed.refused) +
                 L" files, more than the " + std::to_wstring(kMaxListedFiles) + L" an update may have; the other " +
                 std::to_wstring(listed.refused) + L" are refused");
    }

    std::vector<std::wstring> failed;
    std::size_t outOfTime = 0;
    auto fetch = [&](const std::wstring& name) {
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
            failed.push_back(name);
            return;
        }
        const std::int64_t waitMs = timeLeftMs();
        if (waitMs == 0) {
            ++outOfTime;
            return;
        }
        std::wstring folderError;
        DownloadResult file;
        const FailureReport fileReport = reportNext();
        if (EnsureFoldersFor(files_, addonFolder, name, folderError)) {
            file = transfers_.downloadToFile(baseUrl + name, JoinPath(addonFolder, name), fileReport, waitMs);
        } else {
            file.failure = L"its folder could not be created: " + folderError;
        }
        if (file) {
            installedFiles_.insert(name);
            return;
        }
        noteFailure(fileReport);
        failed.push_back(name);
        // A file that keeps failing is tried once per check (the checks'
        // period is its back-off) and logged once per version.
        if (fileReport == FailureReport::LogOnly && failureLogged_.insert(name).second) {
            log_.add(L"Hoardbook update: the file \"" + Printable(name) + L"\" failed: " +
                     (file.failure.empty() ? L"no reason given" : file.failure));
        }
    };
    // The version file goes in last, and only when every other file arrived:
    // installed before a file that then fails, it would make every later
    // check take the half-installed add-on for the published one.
    std::vector<std::wstring> versionFiles;
    for (const std::wstring& name : listed.names) {
        if (IsVersionFileName(name)) {
            versionFiles.push_back(name);
        } else {
            fetch(name);
        }
    }
    auto complete = [&] { return failed.empty() && outOfTime == 0 && listed.refused == 0; };
    if (complete()) {
        for (const std::wstring& name : versionFiles) fetch(name);
    }

    // A version whose files did not all arrive is not installed.
    if (!complete()) {
        std::vector<std::wstring> reasons;
        if (!failed.empty()) reasons.push_back(L"these files failed: " + JoinNames(failed));
        if (listed.refused > 0) {
            reasons.push_back(std::to_wstring(listed.refused) + L" more files were listed than an update may have");
        }
        if (outOfTime > 0) {
            reasons.push_back(L"the check ran out of time with " + std::to_wstring(outOfTime) +
                              L" files left; they are fetched at the next check");
        }
        std::wstring why;
        for (const std::wstring& reason : reasons) why += (why.empty() ? L"" : L"; ") + reason;
        reportIncomplete(why);
        return;
    }
    versionInstalled_ = true;
    lastIncompleteLogged_.clear();
    if (const std::optional<std::wstring> own = GetMyVersion(); own != serverVersion) {
        log_.add(L"Hoardbook update: the installed add-on calls itself version " + Printable(own.value_or(L"")) +
                 L", not " + serverVersion + L" as the update server publishes it; it is not fetched again for that");
    }
    boxes_.show({L"Hoardbook has been updated to version " + serverVersion});
    log_.add(L"Hoardbook Mod Updated to version " + serverVersion);
    updateOtherFlavours(serverVersion, periodic);
}

}  // namespace hb
