#pragma once
// The main form: the façade the window's events reach. It builds the
// subsystems, each owning its own state, and keeps the program's method
// names, each a one-line forward to the subsystem that does the work.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

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

    // ---- shell: start-up, window behaviour, shutdown, message log ----
    void Form_Load();
    void Form_Resize();
    void Form_Unload(bool& cancel);
    void URL_GotFocus();
    // The label left of the address box names the scheme the address uses.
    void URL_Change();
    void Login_GotFocus();
    void Password_GotFocus();
    void Command2_Click();
    void AddMessage(const std::wstring& message) { log_.add(message); }
    // Sets a check box from code; a different value raises its click handler
    // exactly as a user's click does.
    void SetCheckBox(Control box, int value) { hb::SetCheckBox(ports_.window, *this, box, value); }
    // The start-up step that readies the change watcher after the scan: the
    // cursor before the first entry and no upload seen.
    void PrepareWatcher() {
        cursor_.restart();
        entries_.forgetUploads();
    }

    // ---- gamedata: game folders, character scan, saved data ----
    std::wstring GetWoWDir() { return folders_.GetWoWDir(); }
    std::wstring GetAccountDir() { return folders_.GetAccountDir(); }
    std::wstring FormatIt(const std::wstring& folder) { return folders_.FormatIt(folder); }
    void LoadfilesFromHardDrive() { scan_.LoadfilesFromHardDrive(); }
    // Start-up's walk: the window keeps answering, and shows, while it runs.
    void StartupWalk();
    // The watcher's rescan: walks only when a name below the account folder
    // changed since the last walk, or when no notification can tell.
    void LoadfilesFromHardDriveIfChanged() { scan_.LoadfilesFromHardDriveIfChanged(); }
    void LoadFilesFromDir(const std::wstring& folder) { scan_.LoadFilesFromDir(folder); }
    bool InListAlready(const std::wstring& text) const { return scan_.InListAlready(text); }
    // The saved-data bytes of the entry at this place in the list; empty for
    // an unchecked entry or none. Throws Failure when the file cannot be read.
    std::string LoadDataFromHardDrive(std::int16_t place) {
        return savedData_.LoadDataFromHardDrive(entries_.at(place));
    }
    // The file's bytes with every line ended by CR LF; throws Failure.
    std::string GetFile(const std::wstring& path) { return savedData_.GetFile(path); }
    // account folder + "\" + entry text + "\SavedVariables\Hoardbook.lua"
    std::wstring SavedDataFileOf(int place) { return savedData_.SavedDataFileOf(entries_.at(place)); }

    // ---- settings: settings and exclusion files, options, registry ----
    void LoadSettings();
    void SaveSettings() { settings_.SaveSettings(); }
    void CompareToHardDrive() { settings_.CompareToHardDrive(); }
    void RememberPassword_Click() { settings_.RememberPassword_Click(); }
    void StartWithWindows_Click() { runOnStartup_.StartWithWindows_Click(); }
    bool IsRunOnStartup() { return runOnStartup_.IsRunOnStartup(); }
    std::wstring SettingsFilePath() const { return settings_.SettingsFilePath(); }
    std::wstring ExclusionFilePath() const { return settings_.ExclusionFilePath(); }
    // Where the settings files and the log live (settings/SettingsLocation.h).
    std::wstring SettingsFolder() { return settingsLocation_.folder(); }

    // ---- net: HTTP object ----
    std::unique_ptr<HttpRequest> CreateXMLObject() { return transfers_.CreateXMLObject(); }

    // ---- uploads: login, log out, change watcher ----
    void Command1_Click();
    void Command3_Click() {
        login_.Command3_Click();
        scan_.stopWatching();
    }
    void UpdateTimer_Timer() { watcher_.UpdateTimer_Timer(); }

    // ---- updater ----
    void InitializeFolders() { updater_.InitializeFolders(); }
    std::optional<std::wstring> GetMyVersion() { return updater_.GetMyVersion(); }
    void CheckVersionAndDownload() { updater_.CheckVersionAndDownload(); }
    void Timer1_Timer() { updater_.Timer1_Timer(); }

    // ---- the state other subsystems own ----
    int UpdateCheckTicks() const { return updater_.UpdateCheckTicks(); }
    bool LoadingSettings() const { return settings_.LoadingSettings(); }

    SystrayMod& systray() { return systray_; }
    // The one way the program ends: the tray icon goes first.
    ProgramExit& programExit() { return exit_; }

private:
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
