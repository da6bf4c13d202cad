// Where the built program keeps settings.txt and noupload.txt, and how it
// reads them: beside itself where it may write, else in the per-user
// application-data folder; an earlier version's files in the working
// directory taken over once; files as editors save them (LF line ends,
// UTF-8 without a byte-order mark).

#include <gtest/gtest.h>

#include <algorithm>

#include "AppDriver.h"
#include "Scenario.h"
#include "win32/ControlIds.h"

namespace hb::e2e {
namespace {

using namespace hb::win32;

const std::string kAlpha = "Hoardbook = { owner = \"Alpha\" }\r\n";
const std::string kBravo = "Hoardbook = { owner = \"Bravo\" }\r\n";

bool LogContains(const AppDriver& app, const std::wstring& text) {
    return app.text(kIdData).find(text) != std::wstring::npos;
}

std::size_t Occurrences(const std::wstring& text, const std::wstring& part) {
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::wstring::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

std::string HostBytes() { return Utf8(Scenario::siteHost()); }

bool Checked(const AppDriver& app, const std::wstring& text) {
    const auto entries = app.entries();
    auto found = std::find_if(entries.begin(), entries.end(), [&](const ListEntry& e) { return e.text == text; });
    return found != entries.end() && found->checked;
}

TEST(SettingsFolder, AProgramFolderWithoutWriteAccessKeepsTheSettingsInThePerUserFolder) {
    Scenario scenario;
    const auto locked = Scenario::lockedProgramFolder();
    if (locked.empty()) GTEST_SKIP() << "the test runner could not take a folder's write access away";
    ASSERT_FALSE(FolderWritable(locked));
    const std::wstring program = (locked / "HoardbookUploader.exe").wstring();
    scenario.writeSavedData(L"ALPHA", kAlpha);
    scenario.writeSavedData(L"BRAVO", kBravo);
    const auto perUser = Scenario::perUserFolder();
    const std::wstring note = L"Settings are kept in " + perUser.wstring();
    {
        AppDriver app;
        ASSERT_TRUE(app.start(program, locked.wstring()));
        ASSERT_TRUE(app.waitForMainWindow(kStartTimeout));
        ASSERT_TRUE(WaitFor([&] { return app.visible() && app.entries().size() == 2; }, kStartTimeout));
        app.setEntryChecked(1, false);
        app.click(kIdRememberPassword);
        auto question = app.waitForMessageBox(5000);
        ASSERT_NE(question.window, nullptr);
        app.answer(question, IDYES);
        app.setText(kIdURL, Scenario::siteHost());
        app.setText(kIdLogin, kLogin);
        app.setText(kIdPassword, kPassword);
        app.pressEnter(kIdPassword);
        ASSERT_TRUE(WaitFor([&] { return LogContains(app, L"Successfully logged in"); }, kStartTimeout));

        const std::wstring log = app.text(kIdData);
        EXPECT_EQ(Occurrences(log, note), 1u) << "said once:\n" << Utf8(log);
        EXPECT_EQ(log.find(L"Could not save"), std::wstring::npos) << Utf8(log);
        const std::string settings = ReadFile(perUser / "settings.txt");
        EXPECT_TRUE(settings.starts_with("raider\r\n" + HostBytes() + "\r\ndpapi:")) << settings;
        EXPECT_EQ(ReadFile(perUser / "noupload.txt"), Utf8(app.entries()[1].text) + "\r\n");
        ASSERT_TRUE(app.exitProgram());
    }
    const std::size_t firstRun = scenario.uploads().size();
    {
        AppDriver app;
        ASSERT_TRUE(app.start(program, locked.wstring()));
        ASSERT_TRUE(app.waitForMainWindow(kStartTimeout));
        EXPECT_TRUE(WaitFor([&] { return LogContains(app, L"Successfully logged in"); }, kStartTimeout))
            << "the remembered password logs in by itself";
        EXPECT_EQ(app.checkState(kIdRememberPassword), BST_CHECKED);
        EXPECT_FALSE(app.entries()[1].checked);
        EXPECT_EQ(Occurrences(app.text(kIdData), note), 1u);
        ASSERT_TRUE(scenario.waitForUploads(firstRun + 1, kStartTimeout));
        ASSERT_TRUE(app.exitProgram());
    }
    EXPECT_TRUE(std::filesystem::exists(perUser / "HoardbookUploader.log"));
}

TEST(SettingsFolder, FilesOfAnEarlierVersionInTheWorkingDirectoryAreTakenOverOnce) {
    Scenario scenario;
    scenario.writeSavedData(L"ALPHA", kAlpha);
    scenario.writeSavedData(L"BRAVO", kBravo);
    // As an earlier version left them where it was started.
    const std::string settings = "raider\r\n" + HostBytes() + "\r\ngold & glory\r\n";
    WriteFile(scenario.workFolder() / "settings.txt", settings);
    WriteFile(scenario.workFolder() / "noupload.txt", "BRAVO\r\n");
    const std::wstring work = scenario.workFolder().wstring();
    {
        AppDriver app;
        ASSERT_TRUE(app.start(scenario.programPath(), work));
        ASSERT_TRUE(app.waitForMainWindow(kStartTimeout));
        ASSERT_TRUE(WaitFor([&] { return LogContains(app, L"Successfully logged in"); }, kStartTimeout))
            << "the earlier version's login is used:\n" << Utf8(app.text(kIdData));
        EXPECT_TRUE(LogContains(app, L"Took over settings.txt and noupload.txt from " + work));
        EXPECT_FALSE(Checked(app, L"BRAVO"));
        EXPECT_TRUE(Checked(app, L"ALPHA"));
        // Taken over, then written with the password protected by the login's save.
        EXPECT_TRUE(scenario.readProgramFile(L"settings.txt").starts_with("raider\r\n" + HostBytes() + "\r\ndpapi:"));
        EXPECT_EQ(scenario.readProgramFile(L"noupload.txt"), "BRAVO\r\n");
        ASSERT_TRUE(app.exitProgram());
    }

    // The old place changes afterwards (an earlier copy still used there):
    // this program keeps to its own files now.
    WriteFile(scenario.workFolder() / "settings.txt", "raider\r\n" + HostBytes() + "\r\nstale\r\n");
    WriteFile(scenario.workFolder() / "noupload.txt", "ALPHA\r\n");
    {
        AppDriver app;
        ASSERT_TRUE(app.start(scenario.programPath(), work));
        ASSERT_TRUE(app.waitForMainWindow(kStartTimeout));
        ASSERT_TRUE(WaitFor([&] { return LogContains(app, L"Successfully logged in"); }, kStartTimeout));
        EXPECT_FALSE(LogContains(app, L"Took over"));
        EXPECT_FALSE(Checked(app, L"BRAVO"));
        EXPECT_TRUE(Checked(app, L"ALPHA"));
        ASSERT_TRUE(app.exitProgram());
    }
    for (const auto& upload : scenario.uploads()) EXPECT_NE(upload.fileBytes, kBravo);
}

TEST(SettingsFolder, ASettingsFileWithLfEndsInUtf8WithoutAMarkLogsInWithTheRightLogin) {
    Scenario scenario;
    scenario.writeSavedData(L"ALPHA", kAlpha);
    struct Account {
        const char* what;
        std::wstring login;
        std::wstring password;
    };
    const Account accounts[] = {
        {"Polish", L"\u0141ukasz \u017B\u00F3\u0142w", L"has\u0142o \u0105\u0119"},            // Łukasz Żółw, hasło ąę
        {"Russian", L"\u041B\u0435\u043D\u0430", L"\u043F\u0430\u0440\u043E\u043B\u044C 1"},      // Лена, пароль 1
        {"Chinese", L"\u5C0F\u660E", L"\u5BC6\u7801 2"},                                          // 小明, 密码 2
    };
    for (const Account& account : accounts) {
        SCOPED_TRACE(account.what);
        Scenario::setSiteAccount(Utf8(account.login), Utf8(account.password));
        // As a current editor saves it (Notepad's default, or an editor under Wine).
        scenario.writeSettings(Utf8(account.login) + "\n" + HostBytes() + "\n" + Utf8(account.password) + "\n");
        const std::size_t before = scenario.uploads().size();

        AppDriver app;
        ASSERT_TRUE(app.start(scenario.programPath(), scenario.programFolder().wstring()));
        ASSERT_TRUE(app.waitForMainWindow(kStartTimeout));
        EXPECT_TRUE(WaitFor([&] { return LogContains(app, L"Successfully logged in"); }, kStartTimeout))
            << "the site takes the login";
        EXPECT_EQ(app.text(kIdLogin), account.login);
        EXPECT_EQ(app.text(kIdURL), Scenario::siteHost());
        EXPECT_EQ(app.text(kIdPassword), account.password);
        ASSERT_TRUE(scenario.waitForUploads(before + 1, kStartTimeout));
        EXPECT_EQ(scenario.uploads()[before].answer, "Inventory Uploaded");
        ASSERT_TRUE(app.exitProgram());
    }
}

}  // namespace
}  // namespace hb::e2e
