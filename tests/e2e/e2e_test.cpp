// The built program under Wine, driven through its windows like a player
// would, judged by what the reference site received and what is on disk.

#include <gtest/gtest.h>

#include <algorithm>

#include "AppDriver.h"
#include "Scenario.h"
#include "SiteProxy.h"
#include "win32/ControlIds.h"

namespace hb::e2e {
namespace {

using namespace hb::win32;


const std::string kAccount1 = "Hoardbook = { owner = \"Account1\", gold = 1200 }\r\n";
// A character name as the game writes it: UTF-8, sent byte for byte.
const std::string kHero = "Hoardbook = { owner = \"H\xC3\xA9ro\", items = { 6948, 2589 } }\r\n";

std::string SiteHostBytes() {
    std::wstring host = Scenario::siteHost();
    return std::string(host.begin(), host.end());
}

bool LogContains(const AppDriver& app, const std::wstring& text) {
    return app.text(kIdData).find(text) != std::wstring::npos;
}

std::vector<std::string> Files(const std::vector<Upload>& uploads) {
    std::vector<std::string> files;
    for (const auto& upload : uploads) files.push_back(upload.fileBytes);
    return files;
}

// As a player pastes the address: blanks, a scheme and a path around the host.
void LogIn(AppDriver& app, const std::wstring& host) { app.logIn(L"  http://" + host + L"/guild/  ", kLogin, kPassword); }

class EndToEnd : public ::testing::Test {
protected:
    Scenario scenario;
    AppDriver app;

    void startProgram() {
        ASSERT_TRUE(app.start(scenario.programPath(), scenario.programFolder().wstring()));
        ASSERT_TRUE(app.waitForMainWindow(kStartTimeout));
    }
};

TEST_F(EndToEnd, FirstStartLogsInThenKeepsTheSiteCurrentUntilExit) {
    scenario.writeSavedData(L"ACCOUNT1", kAccount1);
    scenario.writeSavedData(L"ACCOUNT2\\Realm\\Hero", kHero);
    startProgram();
    ASSERT_TRUE(WaitFor([&] { return app.visible(); }, kStartTimeout));

    auto entries = app.entries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].text, L"ACCOUNT1");
    EXPECT_EQ(entries[1].text, L"ACCOUNT2\\Realm\\Hero");
    EXPECT_TRUE(entries[0].checked && entries[1].checked);

    LogIn(app, Scenario::siteHost());
    ASSERT_TRUE(WaitFor([&] { return !app.visible(); }, kStartTimeout)) << "a login that succeeds hides the window";
    EXPECT_EQ(app.text(kIdURL), Scenario::siteHost()) << "the address is normalised in its box";
    EXPECT_TRUE(LogContains(app, L"Successfully logged in"));
    EXPECT_FALSE(app.enabled(kIdLogin));
    EXPECT_FALSE(app.enabled(kIdCommand1));
    EXPECT_TRUE(app.enabled(kIdCommand3));
    EXPECT_EQ(scenario.readProgramFile(L"settings.txt"),
              "raider\r\n" + SiteHostBytes() + "\r\n\r\n")
        << "the password is not remembered unless asked for";

    // The login's upload, then the watcher's first round: every checked entry once.
    ASSERT_TRUE(scenario.waitForUploads(3, 4 * kTick));
    auto uploads = scenario.uploads();
    EXPECT_EQ(Files(uploads), (std::vector<std::string>{kAccount1, kHero, kAccount1}));
    EXPECT_EQ(uploads[0].login, "raider");
    EXPECT_EQ(uploads[0].answer, "Inventory Uploaded");
    EXPECT_TRUE(WaitFor([&] { return LogContains(app, L"Profile for ACCOUNT2\\Realm\\Hero changed and was uploaded"); },
                        kTick));

    // The game rewrites one file: exactly one new upload of it.
    const std::string rewritten = "Hoardbook = { owner = \"H\xC3\xA9ro\", items = { 6948 } }\r\n";
    scenario.writeSavedData(L"ACCOUNT2\\Realm\\Hero", rewritten);
    ASSERT_TRUE(scenario.waitForUploads(4, 4 * kTick));
    ::Sleep(3 * kTick);
    uploads = scenario.uploads();
    ASSERT_EQ(uploads.size(), 4u) << "an unchanged file is not sent again";
    EXPECT_EQ(uploads[3].fileBytes, rewritten);

    // A new character appears: a new checked entry, uploaded.
    const std::string newcomer = "Hoardbook = { owner = \"Account3\" }\r\n";
    scenario.writeSavedData(L"ACCOUNT3", newcomer);
    ASSERT_TRUE(WaitFor([&] { return app.entries().size() == 3; }, 3 * kTick));
    EXPECT_EQ(app.entries()[2].text, L"ACCOUNT3");
    EXPECT_TRUE(app.entries()[2].checked);
    ASSERT_TRUE(scenario.waitForUploads(5, 5 * kTick));
    EXPECT_EQ(scenario.uploads()[4].fileBytes, newcomer);

    // Back from the tray, then "Exit Program": the process ends, the icon goes.
    EXPECT_EQ(CountTrayIcons(), 1);
    app.trayMessage(WM_LBUTTONUP);
    ASSERT_TRUE(WaitFor([&] { return app.visible(); }, 5000));
    app.click(kIdCommand2);
    ASSERT_TRUE(app.waitForExit(10000));
    EXPECT_TRUE(WaitFor([] { return CountTrayIcons() == 0; }, 5000)) << "no icon is left behind";
}

TEST_F(EndToEnd, EntryUncheckedBeforeLoginIsNeverUploadedAndIsRemembered) {
    const std::string alpha = "Hoardbook = { owner = \"Alpha\" }\r\n";
    const std::string bravo = "Hoardbook = { owner = \"Bravo\" }\r\n";
    const std::string charlie = "Hoardbook = { owner = \"Charlie\" }\r\n";
    scenario.writeSavedData(L"ALPHA", alpha);
    scenario.writeSavedData(L"BRAVO", bravo);
    scenario.writeSavedData(L"CHARLIE", charlie);
    startProgram();
    ASSERT_TRUE(WaitFor([&] { return app.visible() && app.entries().size() == 3; }, kStartTimeout));

    app.setEntryChecked(1, false);
    LogIn(app, Scenario::siteHost());
    // The login's upload plus one round over the two checked entries, and
    // one more tick for good measure.
    ASSERT_TRUE(scenario.waitForUploads(3, 5 * kTick));
    ::Sleep(kTick + 1000);
    auto files = Files(scenario.uploads());
    EXPECT_EQ(std::count(files.begin(), files.end(), bravo), 0);
    EXPECT_EQ(files.front(), alpha);
    EXPECT_EQ(scenario.readProgramFile(L"noupload.txt"), "BRAVO\r\n");
    EXPECT_FALSE(app.entries()[1].checked);
}

TEST_F(EndToEnd, AFileOutsideASavedVariablesFolderDoesNotStopTheFirstLogin) {
    // Lying directly in an account folder, it lists an entry with no saved
    // data to send; sorted first, the login would pick it.
    WriteFile(scenario.gameFolder() / "WTF" / "Account" / "AAA" / "Hoardbook.lua", kAccount1);
    scenario.writeSavedData(L"ACCOUNT1", kAccount1);
    startProgram();
    ASSERT_TRUE(WaitFor([&] { return app.visible() && app.entries().size() == 2; }, kStartTimeout));
    ASSERT_EQ(app.entries()[0].text, L"AAA");

    LogIn(app, Scenario::siteHost());
    ASSERT_TRUE(WaitFor([&] { return !app.visible() || app.messageBox().window != nullptr; }, kStartTimeout));
    EXPECT_EQ(app.messageBox().window, nullptr) << "the first OK logs in";
    EXPECT_FALSE(app.visible());
    ASSERT_TRUE(scenario.waitForUploads(1, kStartTimeout));
    EXPECT_EQ(scenario.uploads().front().fileBytes, kAccount1);
    EXPECT_TRUE(LogContains(app, L"The saved data of AAA could not be read, so the login sent ACCOUNT1"));
}

TEST_F(EndToEnd, RememberedLoginStartsHiddenInTheTrayAndUploads) {
    scenario.writeSavedData(L"ACCOUNT1", kAccount1);
    scenario.writeSettings("raider\r\n" + SiteHostBytes() + "\r\ngold & glory\r\n");
    startProgram();

    bool everShown = false;
    bool uploaded = WaitFor(
        [&] {
            everShown = everShown || app.visible();
            return scenario.uploads().size() >= 1 && LogContains(app, L"Successfully logged in");
        },
        kStartTimeout);
    ASSERT_TRUE(uploaded);
    ::Sleep(1000);
    EXPECT_FALSE(everShown || app.visible()) << "the program starts with only its tray icon";
    EXPECT_EQ(scenario.uploads()[0].fileBytes, kAccount1);
    EXPECT_EQ(app.checkState(kIdRememberPassword), BST_CHECKED);
    EXPECT_EQ(CountTrayIcons(), 1);
    // An earlier version's clear password is written protected by the login's save.
    const std::string settings = scenario.readProgramFile(L"settings.txt");
    EXPECT_TRUE(settings.starts_with("raider\r\n" + SiteHostBytes() + "\r\ndpapi:")) << settings;
    EXPECT_EQ(settings.find("gold"), std::string::npos);
}

TEST_F(EndToEnd, NewlyPublishedAddonIsInstalledAndAnnounced) {
    scenario.writeSavedData(L"ACCOUNT1", kAccount1);
    Scenario::publishAddon("1.1");
    startProgram();

    auto box = app.waitForMessageBox(kStartTimeout);
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.title, L"HoardbookUploader");
    EXPECT_EQ(box.text, L"Hoardbook has been updated to version 1.1");
    app.answer(box, IDOK);
    EXPECT_TRUE(WaitFor([&] { return LogContains(app, L"Hoardbook Mod Updated to version 1.1"); }, 5000));
    // Files travel as text: each is stored with one CR LF added.
    EXPECT_EQ(scenario.readAddonFile(L"Hoardbook.toc"), Scenario::addonToc("1.1") + "\r\n");
    EXPECT_EQ(scenario.readAddonFile(L"Hoardbook.lua"), Scenario::addonLua("1.1") + "\r\n");
}

TEST_F(EndToEnd, SiteOutageIsReportedOnceAndTheUploadGoesThroughWhenItIsBack) {
    SiteProxy site(Scenario::sitePort());
    const std::wstring host = L"127.0.0.1:" + std::to_wstring(site.port());
    scenario.writeSavedData(L"ACCOUNT1", kAccount1);
    startProgram();
    ASSERT_TRUE(WaitFor([&] { return app.visible(); }, kStartTimeout));
    LogIn(app, host);
    // The login's upload and the watcher's first visit.
    ASSERT_TRUE(scenario.waitForUploads(2, 4 * kTick));

    site.down();
    const std::string changed = "Hoardbook = { owner = \"Account1\", gold = 99 }\r\n";
    scenario.writeSavedData(L"ACCOUNT1", changed);
    // Nothing listens: the refused connection is reported at the watcher's
    // next visit, not at the end of the program's 60 s deadline.
    auto box = app.waitForMessageBox(3 * kTick);
    ASSERT_NE(box.window, nullptr) << "the user is told the site cannot be reached";
    EXPECT_TRUE(WaitFor([&] { return LogContains(app, L"Error Sending the following data to http://" + host); }, 5000));
    EXPECT_EQ(scenario.uploads().size(), 2u);

    // The box stays unanswered (it may sit behind the game) while the site
    // comes back: the watcher goes on all the same.
    site.up();
    ASSERT_TRUE(scenario.waitForUploads(3, 40000)) << "the change is sent once the site is back, box open or not";
    EXPECT_EQ(scenario.uploads()[2].fileBytes, changed);
    EXPECT_TRUE(::IsWindow(box.window));
    app.answer(box, IDOK);
    EXPECT_EQ(app.messageBox().window, nullptr) << "one box per outage at most";
}

TEST_F(EndToEnd, SecondStartBringsTheRunningProgramForward) {
    scenario.writeSavedData(L"ACCOUNT1", kAccount1);
    startProgram();
    ASSERT_TRUE(WaitFor([&] { return app.visible(); }, kStartTimeout));
    app.close();
    ASSERT_TRUE(WaitFor([&] { return !app.visible(); }, 5000)) << "closing only hides the window";
    EXPECT_TRUE(app.running());

    AppDriver second;
    ASSERT_TRUE(second.start(scenario.programPath(), scenario.programFolder().wstring()));
    ASSERT_TRUE(second.waitForExit(kStartTimeout)) << "a second instance does not stay";
    EXPECT_TRUE(WaitFor([&] { return app.visible(); }, 5000)) << "the running one comes forward";
    EXPECT_TRUE(app.running());
}

}  // namespace
}  // namespace hb::e2e
