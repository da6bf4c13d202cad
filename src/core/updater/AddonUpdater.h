#pragma once
// The add-on updater: keeps the game's Hoardbook add-on at the version its
// update server publishes, checked at start-up and then from Timer1 about
// every half hour.

#include <optional>
#include <set>
#include <string>

#include "gamedata/GameFolders.h"
#include "net/Transfers.h"
#include "ports/FileSystem.h"
#include "ports/MessageBoxes.h"
#include "ports/MessageLog.h"
#include "ports/Process.h"
#include "updater/FlavourAddons.h"

namespace hb {

// How long one check may go on starting downloads. The window waits for the
// start-up check, so its downloads end with its budget whatever the server
// does; a periodic check runs behind the game, so a download it started
// runs to its own bounds (nothing moved for a while, or the generous cap),
// and a slow server's large file still arrives. What a check did not get
// to is fetched by the next one; what it installed is kept.
inline constexpr int kStartupCheckBudgetMs = kDownloadDeadlineMs;
inline constexpr int kPeriodicCheckBudgetMs = 120000;

class AddonUpdater {
public:
    AddonUpdater(FileSystem& files, MessageBoxes& boxes, const Process& process, const Codepage& codepage,
                 MessageLog& log, GameFolders& folders, Transfers& transfers, std::wstring updateHost);

    // Creates the add-on folder when it is missing.
    void InitializeFolders();
    // The installed version; nothing without a version file or line.
    std::optional<std::wstring> GetMyVersion();
    // One check: the first of the process is start-up's and reports with
    // boxes, every later one is periodic and reports to the log only.
    void CheckVersionAndDownload();
    // One check reporting as asked; never starts inside another check.
    void check(FailureReport report);
    // Timer1's tick: counts ticks and runs a check when one is due.
    void Timer1_Timer();
    // Ticks counted since the last check.
    int UpdateCheckTicks() const { return ticks_; }

private:
    FileSystem& files_;
    MessageBoxes& boxes_;
    const Process& process_;
    const Codepage& codepage_;
    MessageLog& log_;
    GameFolders& folders_;
    Transfers& transfers_;
    std::wstring updateHost_;

    // What this run knows of the published version: once installed, it
    // is not installed again (and not announced again), whatever the
    // add-on's own version text says; within it, a file installed is not
    // fetched again and a failing file is logged once.
    void startVersion(const std::wstring& version);
    // The add-on of the other flavours, brought to the version installed.
    void updateOtherFlavours(const std::wstring& version, bool periodic);
    FlavourAddons flavours_;

    int ticks_ = 0;
    bool checking_ = false;
    bool startupCheckDone_ = false;
    std::wstring version_;                    // the published version the sets below belong to
    bool versionInstalled_ = false;           // every file of version_ installed by this run
    std::set<std::wstring> installedFiles_;   // of version_
    std::set<std::wstring> failureLogged_;    // files of version_ whose failure is in the log
    std::wstring lastIncompleteLogged_;       // the periodic check's last "could not be updated" line
};

}  // namespace hb
