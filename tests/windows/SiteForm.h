#pragma once
// The real main window, HTTP object, file system and message pump wired to
// Form1, against the reference guild site that tools/with-servers starts.
// The game lives in a temporary folder that a fake registry names; the
// program's folder (settings files) is a temporary folder too.

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "HostFiles.h"
#include "shell/Form1.h"
#include "win32/ControlIds.h"
#include "win32/Win32Http.h"
#include "win32/Win32MainWindow.h"
#include "windows/MessagePump.h"
#include "windows/PlatformPorts.h"

namespace hb::test {

// Hands every event to the form and counts the watcher's ticks.
class TickCounter : public FormEvents {
public:
    explicit TickCounter(Form1& form) : form_(form) {}
    void onLoad() override { form_.onLoad(); }
    void onResize() override { form_.onResize(); }
    void onCloseRequest(bool& cancel) override { form_.onCloseRequest(cancel); }
    void onClick(Control control) override { form_.onClick(control); }
    void onGotFocus(Control control) override { form_.onGotFocus(control); }
    void onChange(Control control) override { form_.onChange(control); }
    void onTimer(Timer timer) override {
        form_.onTimer(timer);
        if (timer == Timer::UpdateTimer) ++updateTicks;  // counted once the tick has done its work
    }
    int updateTicks = 0;

private:
    Form1& form_;
};

class SiteForm : public ::testing::Test, public PlatformPorts {
protected:
    SiteForm() : window(::GetModuleHandleW(nullptr)) {
        std::filesystem::create_directories(temp.path() / "Program");
        std::filesystem::create_directories(temp.path() / "Game" / "WTF" / "Account");
        process.folder = temp.corePath("Program");
        use(window).use(http);
        registry.putString(RegistryRoot::LocalMachine, L"Software\\Blizzard Entertainment\\World of Warcraft",
                           L"InstallPath", temp.corePath("Game") + L"\\");
        options.httpDeadlineMs = 10000;
        options.updateHost = L"127.0.0.1:" + sitePort;
        siteData = std::filesystem::path(L"Z:" + EnvironmentText(L"HB_SITE_DATA"));
    }

    void SetUp() override {
        ASSERT_TRUE(com.ok());
        ASSERT_FALSE(sitePort.empty()) << "run through tools/with-servers (ctest does)";
        std::ofstream(siteData / "site.json", std::ios::binary | std::ios::trunc)
            << "{\"accounts\": {\"Officer Bob\": \"s3cret pass\"}}";
        makeForm();
        // The tray icon, as start-up adds it: a login hides the window into it.
        form->systray().PrepareTrayIcon();
        form->systray().AddTrayIcon();
        window.setText(Control::URL, L"127.0.0.1:" + sitePort);
        window.setText(Control::Login, L"Officer Bob");
        window.setText(Control::Password, L"s3cret pass");
    }

    void TearDown() override { window.connect(nullptr); }

    // A form over the ports (with the options as they are now), the
    // window's events going to it.
    void makeForm() {
        form = std::make_unique<Form1>(ports(), options);
        events = std::make_unique<TickCounter>(*form);
        window.connect(events.get());
    }

    void addSavedData(const std::string& entry, const std::string& bytes) {
        auto folder = temp.path() / "Game" / "WTF" / "Account" / entry / "SavedVariables";
        std::filesystem::create_directories(folder);
        std::ofstream(folder / "Hoardbook.lua", std::ios::binary | std::ios::trunc) << bytes;
    }
    // The start-up scan and the state it leaves, without the rest of start-up.
    void scan() {
        form->scan().LoadfilesFromHardDrive();
        form->settings().CompareToHardDrive();
        form->PrepareWatcher();
    }

    void click(win32::ControlId id) {
        ::SendMessageW(window.handle(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                       reinterpret_cast<LPARAM>(window.control(id)));
    }
    bool enabled(win32::ControlId id) const { return ::IsWindowEnabled(window.control(id)) != FALSE; }

    // The site's received uploads: every earlier test's too.
    int received() const { return ReceivedCount(siteData); }
    std::string receivedFile(int number) const {
        return ReadBytes(siteData / "received" / std::to_string(number) / "thefile");
    }

    static bool pumpUntil(const std::function<bool()>& condition, int timeoutMs) {
        return PumpUntil(condition, timeoutMs);
    }

    std::wstring log() const { return window.text(Control::Data); }
    bool logHas(const std::wstring& text) const { return log().find(text) != std::wstring::npos; }

    const std::wstring sitePort = EnvironmentText(L"HB_SITE_PORT");
    std::filesystem::path siteData;

    win32::Win32HttpFactory http;
    Options options;
    win32::Win32MainWindow window;
    std::unique_ptr<Form1> form;
    std::unique_ptr<TickCounter> events;
};

}  // namespace hb::test
