#pragma once
// The main form: the window's events arrive here. It builds the subsystems,
// each owning its own state, and keeps the handlers' documented names and
// the start-up steps that join subsystems; the rest of the work is named on
// the subsystem that does it.

#include <cstdint>
#include <string>

#include "desktop/SystrayMod.h"
#include "gamedata/CharacterScan.h"
#include "gamedata/EntryList.h"
#include "gamedata/GameFolders.h"
#include "gamedata/ListCursor.h"
#include "gamedata/SavedDataFiles.h"
#include "net/Transfers.h"
#include "ports/DataProtection.h"
#include "ports/FileSystem.h"
#include "ports/FolderChanges.h"
#include "ports/Http.h"
#include "ports/MainWindow.h"
#include "ports/MessageBoxes.h"
#include "ports/Process.h"
#include "ports/Registry.h"
#include "ports/Shell.h"
#include "settings/RunOnStartup.h"
#include "settings/SettingsLocation.h"
#include "settings/SettingsStore.h"
#include "shell/LogFile.h"
#include "shell/MessageLog.h"
#include "shell/ShellExit.h"
#include "updater/AddonUpdater.h"
#include "uploads/ChangeWatcher.h"
#include "uploads/Login.h"
#include "uploads/Session.h"

namespace hb {

struct Ports {
    MainWindow& window;
    MessageBoxes& boxes;
    Registry& registry;
    HttpFactory& http;
    FileSystem& files;
    Shell& shell;
    TrayWindow& trayWindow;
    Process& process;
    Codepage& codepage;
    // Keeps the remembered password readable only by this Windows user.
    DataProtection& protection;
    // None: the watcher walks the account tree at every tick.
    FolderChanges* folderChanges = nullptr;
};

struct Options {
    // Host (with optional port) of the add-on's update server.
    std::wstring updateHost;
    // Our own bound on every HTTP request: it fails when nothing moved for
    // this long (a download's bound is never above kDownloadDeadlineMs).
    int httpDeadlineMs = 60000;
    // The generous cap on a request's whole time (an upload's grows with
    // its body: UploadTotalMs).
    std::int64_t httpTotalMs = kTransferTotalMs;
};

class Form1 : public FormEvents {
public:
    Form1(Ports ports, Options options);
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    // ---- events, routed to the handlers below ----
    void onLoad() override;
    void onResize() override;
    void onCloseRequest(bool& cancel) override;
    void onClick(Control control) override;
    void onGotFocus(Control control) override;
    void onChange(Control control) override;
    void onTimer(Timer timer) override;

    // ---- the window's handlers ----
    void Form_Load();
    void Form_Resize();
    void Form_Unload(bool& cancel);
    void URL_GotFocus();
    // The label left of the address box names the scheme the address uses.
    void URL_Change();
    void Login_GotFocus();
    void Password_GotFocus();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void RememberPassword_Click() { settings_.RememberPassword_Click(); }
    void StartWithWindows_Click() { runOnStartup_.StartWithWindows_Click(); }
    // The tray icon's retries, the automatic login's and the update check's
    // schedule.
    void Timer1_Timer();
    void UpdateTimer_Timer() { watcher_.UpdateTimer_Timer(); }

    // ---- start-up's steps that join subsystems ----
    // Fills the fields from "settings.txt"; with all three filled it logs
    // in by itself, and keeps trying while the network is not there yet.
    void LoadSettings();
    // Readies the change watcher after the scan: the cursor before the
    // first entry and no upload seen.
    void PrepareWatcher();

    // The window's log and the log file; the program's error reporter
    // writes here too.
    void AddMessage(const std::wstring& message) { log_.add(message); }

    // ---- the subsystems, for the program's wiring and for tests: a
    // documented name of their work is their method (docs/architecture.md) ----
    GameFolders& folders() { return folders_; }
    EntryList& entries() { return entries_; }
    CharacterScan& scan() { return scan_; }
    SavedDataFiles& savedData() { return savedData_; }
    SettingsLocation& settingsLocation() { return settingsLocation_; }
    SettingsStore& settings() { return settings_; }
    RunOnStartup& runOnStartup() { return runOnStartup_; }
    Transfers& transfers() { return transfers_; }
    AddonUpdater& updater() { return updater_; }
    SystrayMod& systray() { return systray_; }
    // The one way the program ends: the tray icon goes first.
    ProgramExit& programExit() { return exit_; }

private:
    // Start-up's walk: the window keeps answering, and shows, while it runs.
    void StartupWalk();

    Ports ports_;
    SettingsLocation settingsLocation_;
    WindowMessageLog windowLog_;
    LogFile logFile_;
    // The window's log and the log file.
    KeptMessageLog log_;
    SystrayMod systray_;
    ShellExit exit_;
    GameFolders folders_;
    // The listed entries (the check-list shows them) and the round robin over them.
    EntryList entries_;
    ListCursor cursor_;
    // Logged in: made by an accepted login, ended by Log Out.
    CurrentSession session_;
    Transfers transfers_;
    SettingsStore settings_;
    RunOnStartup runOnStartup_;
    CharacterScan scan_;
    SavedDataFiles savedData_;
    Login login_;
    ChangeWatcher watcher_;
    AddonUpdater updater_;
    // Start-up's walk lets the window answer; a click that would read or
    // save the settings is not taken then.
    bool startupWalkAnswering_ = false;
};

}  // namespace hb
