#pragma once
// The add-on updater: keeps the game's Hoardbook add-on at the version its
// update server publishes, checked at start-up and then from Timer1 about
// every half hour.

#include <optional>
#include <string>

#include "gamedata/GameFolders.h"
#include "net/Transfers.h"
#include "ports/FileSystem.h"
#include "ports/MessageBoxes.h"
#include "ports/MessageLog.h"
#include "ports/Process.h"
#include "updater/AddonInstall.h"
#include "updater/CheckPace.h"
#include "updater/FlavourAddons.h"
#include "updater/UpdateReport.h"
#include "updater/UpdateSource.h"

namespace hb {

class AddonUpdater {
public:
    // updateHost: the update server's address, "host[:port]" or
    // "https://host[:port]".
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
    // Timer1's tick: counts ticks and runs a check when one is due and may
    // start now; one that may not stays due for a later tick.
    void Timer1_Timer(bool mayStartCheck = true);
    // Ticks counted since the last check.
    int UpdateCheckTicks() const { return ticks_; }

private:
    // The add-on of the other flavours, brought to the version installed.
    void updateOtherFlavours(const std::wstring& version, bool periodic);

    FileSystem& files_;
    const Process& process_;
    const Codepage& codepage_;
    MessageLog& log_;
    GameFolders& folders_;
    Transfers& transfers_;
    UpdateSource source_;
    // The stages' memory across checks.
    AddonInstall install_;
    UpdateReport report_;
    FlavourAddons flavours_;

    int ticks_ = 0;
    bool checking_ = false;
    bool startupCheckDone_ = false;
};

}  // namespace hb
