#pragma once
// The composition root: owns the state that the handlers share, routes the
// window's events to their handlers and keeps the program's method names.
// The methods are defined in the folder of the subsystem they belong to.

#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "ports/FileSystem.h"
#include "ports/Http.h"
#include "ports/MainWindow.h"
#include "ports/MessageBoxes.h"
#include "ports/Process.h"
#include "ports/Registry.h"
#include "ports/Shell.h"
#include "desktop/SystrayMod.h"
#include "gamedata/LinkGuard.h"

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
};

struct Options {
    // Host (with optional port) of the add-on's update server.
    std::wstring updateHost;
    // Our own bound on every HTTP request.
    int httpDeadlineMs = 60000;
};

class Form1 : public FormEvents {
public:
    Form1(Ports ports, Options options);

    // ---- events, routed to the handlers below ----
    void onLoad() override;
    void onResize() override;
    void onCloseRequest(bool& cancel) override;
    void onClick(Control control) override;
    void onGotFocus(Control control) override;
    void onTimer(Timer timer) override;

    // ---- shell: start-up, window behaviour, shutdown, message log ----
    void Form_Load();
    void Form_Resize();
    void Form_Unload(bool& cancel);
    void URL_GotFocus();
    void Login_GotFocus();
    void Password_GotFocus();
    void Command2_Click();
    void Timer1_Timer();
    void AddMessage(const std::wstring& message);
    // Sets a check box from code; a different value raises its click handler
    // exactly as a user's click does.
    void SetCheckBox(Control box, int value);

    // ---- gamedata: game folders, character scan, saved data ----
    std::wstring GetWoWDir();
    std::wstring GetAccountDir();
    std::wstring FormatIt(const std::wstring& folder);
    void LoadfilesFromHardDrive();
    void LoadFilesFromDir(const std::wstring& folder);
    bool InListAlready(const std::wstring& text) const;
    void CompareToHardDrive();
    void GetNextListIndexnoupload();
    // The entry's saved-data bytes; empty for an unchecked or unknown entry.
    // Throws FileReadError when the file cannot be read.
    std::string LoadDataFromHardDrive(std::int16_t index);
    // The file's bytes with every line ended by CR LF; throws FileReadError.
    std::string GetFile(const std::wstring& path);
    // account folder + "\" + entry text + "\SavedVariables\Hoardbook.lua"
    std::wstring SavedDataFileOf(int index);

    // ---- settings: settings and exclusion files, options, registry ----
    void LoadSettings();
    void SaveSettings();
    void RememberPassword_Click();
    void StartWithWindows_Click();
    bool IsRunOnStartup();
    std::wstring SettingsFilePath() const;
    std::wstring ExclusionFilePath() const;

    // ---- net: HTTP object, upload request, downloads ----
    std::unique_ptr<HttpRequest> CreateXMLObject();
    std::wstring GetXML(const std::string& data);
    std::wstring QuickDownload(const std::wstring& url);
    // Returns whether the file was written.
    bool QuickDownloadToFile(const std::wstring& url, const std::wstring& path);

    // ---- uploads: login, log out, change watcher ----
    void Command1_Click();
    void Command3_Click();
    void UpdateTimer_Timer();

    // ---- updater ----
    void InitializeFolders();
    std::optional<std::wstring> GetMyVersion();
    void CheckVersionAndDownload();

    // ---- shared state ----
    std::int16_t CurrentIndex = 0;
    std::vector<FileTime> LastModified;  // 0: no time seen yet
    int UpdateCheckTicks = 0;
    bool LoadingSettings = false;

    const Ports& ports() const { return ports_; }
    const Options& options() const { return options_; }
    SystrayMod& systray() { return systray_; }

private:
    Ports ports_;
    Options options_;

    // gamedata
    std::set<std::wstring> unreadableFoldersReported_;
    bool entryLimitReported_ = false;
    int walkDepth_ = 0;
    LinkGuard linkGuard_;

    // net
    // The body of a successful answer of at most maxBytes, or nothing after
    // a reported failure.
    std::optional<std::wstring> Download(const std::wstring& url, std::size_t maxBytes);
    // A box (unless quietDownloads_) and lastDownloadFailure_ = reason.
    void reportDownloadFailure(const std::wstring& boxText, const std::wstring& reason);
    // While true, QuickDownload and QuickDownloadToFile show no message box
    // (the updater's periodic checks report to the log instead).
    bool quietDownloads_ = false;
    // Set by QuickDownload and QuickDownloadToFile to the failure's
    // description whenever they fail, boxed or quiet; callers clear it first.
    std::wstring lastDownloadFailure_;
    // Whether the last GetXML to finish reported a transport failure (as
    // opposed to the site answering, even with nothing).
    bool lastUploadFailed_ = false;
    // Set by the change watcher right before it calls GetXML while an outage
    // has already been reported. GetXML reads and clears it at its start; when
    // it was set, a transport failure is logged as usual but shows no box.
    bool quietNextUploadFailure_ = false;

    // uploads
    bool watcherBusy_ = false;
    bool siteOutageReported_ = false;
    std::set<int> unreadableEntriesReported_;  // entries whose read failure is logged

    // settings
    // "settings.txt" was found damaged at start-up: it is neither used nor
    // written until the user logs in.
    bool settingsFileDamaged_ = false;

    // updater
    bool checkingForUpdate_ = false;
    // The first check of the process is start-up's; later ones are Timer1's.
    bool startupCheckDone_ = false;

    // desktop
    SystrayMod systray_;
};

}  // namespace hb
