// Names in any script: character folders, a login and a password that the
// ANSI code page cannot hold keep their marks and values across a restart of
// the built program under Wine, with Wine's real code-page conversion; files
// of earlier versions keep loading, and a damaged settings file is left alone.

#include <gtest/gtest.h>

#include <algorithm>

#include "AppDriver.h"
#include "Scenario.h"
#include "win32/ControlIds.h"

namespace hb::e2e {
namespace {

using namespace hb::win32;

const std::string kUtf8Mark = "\xEF\xBB\xBF";

std::string HostBytes() { return Utf8(Scenario::siteHost()); }

// Each entry's saved data names it, so the site's files tell who was sent.
std::string SavedDataOf(const std::wstring& entry) { return "Hoardbook = { owner = \"" + Utf8(entry) + "\" }\r\n"; }

int IndexOf(const std::vector<ListEntry>& entries, const std::wstring& text) {
    auto found = std::find_if(entries.begin(), entries.end(), [&](const ListEntry& e) { return e.text == text; });
    return found == entries.end() ? -1 : static_cast<int>(found - entries.begin());
}

bool LogContains(const AppDriver& app, const std::wstring& text) {
    return app.text(kIdData).find(text) != std::wstring::npos;
}

class Names : public ::testing::Test {
protected:
    void SetUp() override {
        // The faults show only where the code page lacks these characters.
        ASSERT_EQ(::GetACP(), 1252u) << "these scenarios assume Wine's Western European code page";
    }

    void start(AppDriver& app) {
        ASSERT_TRUE(app.start(scenario.programPath(), scenario.programFolder().wstring()));
        ASSERT_TRUE(app.waitForMainWindow(kStartTimeout));
    }

    std::size_t uploadsOf(const std::wstring& entry) const {
        std::size_t count = 0;
        for (const auto& upload : scenario.uploads()) count += upload.fileBytes == SavedDataOf(entry) ? 1 : 0;
        return count;
    }

    Scenario scenario;
};

TEST_F(Names, UncheckedEntriesAndTheRememberedLoginSurviveARestartWhateverTheirScript) {
    const std::wstring lukasz = L"ACC\\Realm\\\u0141ukasz";      // Łukasz: best fit would make it Lukasz
    const std::wstring lukaszAscii = L"ACC\\Realm\\Lukasz";
    const std::wstring lena = L"ACC\\Realm\\\u041B\u0435\u043D\u0430";  // Лена
    const std::wstring vera = L"ACC\\Realm\\\u0412\u0435\u0440\u0430";  // Вера: the same "????" in the code page
    const std::wstring xiaoming = L"ACC\\Realm\\\u5C0F\u660E";            // 小明
    const std::wstring spaced = L" SPACED";  // a leading space the old reader trimmed away
    const std::wstring plain = L"SPACED";
    const std::vector<std::wstring> all{lukasz, lukaszAscii, lena, vera, xiaoming, spaced, plain};
    const std::vector<std::wstring> unchecked{lukasz, lena, xiaoming, spaced};
    for (const auto& entry : all) scenario.writeSavedData(entry, SavedDataOf(entry));

    const std::wstring login = L"\u0141ukasz";
    const std::wstring password = L"\u043F\u0430\u0440\u043E\u043B\u044C \u5C0F";  // пароль 小
    Scenario::setSiteAccount(Utf8(login), Utf8(password));

    {
        AppDriver app;
        start(app);
        ASSERT_TRUE(WaitFor([&] { return app.visible() && app.entries().size() == all.size(); }, kStartTimeout));
        for (const auto& entry : unchecked) app.setEntryChecked(IndexOf(app.entries(), entry), false);

        app.click(kIdRememberPassword);
        auto question = app.waitForMessageBox(5000);
        ASSERT_NE(question.window, nullptr);
        app.answer(question, IDYES);
        app.setText(kIdURL, Scenario::siteHost());
        app.setText(kIdLogin, login);
        app.setText(kIdPassword, password);
        app.pressEnter(kIdPassword);

        // The login's upload and one round over the three checked entries.
        ASSERT_TRUE(scenario.waitForUploads(4, 6 * kTick));
        ASSERT_TRUE(WaitFor([&] { return LogContains(app, L"Successfully logged in"); }, 5000));
        EXPECT_EQ(scenario.uploads().front().answer, "Inventory Uploaded");

        // What the two files hold: the names as they stand, in list order.
        const auto entries = app.entries();
        std::string excluded;
        for (const auto& entry : entries) {
            if (!entry.checked) excluded += Utf8(entry.text) + "\r\n";
        }
        EXPECT_EQ(scenario.readProgramFile(L"noupload.txt"), kUtf8Mark + excluded);
        // The password is kept protected for this user, never in clear.
        const std::string settings = scenario.readProgramFile(L"settings.txt");
        EXPECT_TRUE(settings.starts_with(kUtf8Mark + Utf8(login) + "\r\n" + HostBytes() + "\r\ndpapi:")) << settings;
        EXPECT_EQ(settings.find(Utf8(password)), std::string::npos);

        ASSERT_TRUE(app.exitProgram());
    }

    const std::size_t firstRun = scenario.uploads().size();
    {
        AppDriver app;
        start(app);
        // The remembered login works again: the site takes it.
        EXPECT_TRUE(WaitFor([&] { return LogContains(app, L"Successfully logged in"); }, kStartTimeout))
            << "the remembered login and password come back intact";
        const auto entries = app.entries();
        ASSERT_EQ(entries.size(), all.size());
        for (const auto& entry : all) {
            bool expectChecked = std::find(unchecked.begin(), unchecked.end(), entry) == unchecked.end();
            EXPECT_EQ(entries[IndexOf(entries, entry)].checked, expectChecked) << Utf8(entry);
        }
        EXPECT_EQ(app.text(kIdLogin), login);
        EXPECT_EQ(app.text(kIdPassword), password);
        // The watcher's first round after the restart, and one tick more.
        ASSERT_TRUE(scenario.waitForUploads(firstRun + 4, 6 * kTick));
        ::Sleep(kTick);
    }
    for (const auto& entry : unchecked) EXPECT_EQ(uploadsOf(entry), 0u) << "never sent: " << Utf8(entry);
    for (const auto& entry : all) {
        if (std::find(unchecked.begin(), unchecked.end(), entry) == unchecked.end()) {
            EXPECT_GE(uploadsOf(entry), 2u) << "sent in both runs: " << Utf8(entry);
        }
    }
    for (const auto& upload : scenario.uploads()) EXPECT_EQ(upload.answer, "Inventory Uploaded");
}

TEST_F(Names, FilesOfEarlierVersionsLoadAndStayByteForByteButThePasswordWhenTheCodePageHoldsThem) {
    // As an earlier version wrote them: code-page bytes (é, ö in 1252).
    const std::wstring rene = L"ACC\\Realm\\Ren\u00E9";
    const std::wstring bob = L"ACC\\Realm\\Bob";
    scenario.writeSavedData(rene, SavedDataOf(rene));
    scenario.writeSavedData(bob, SavedDataOf(bob));
    const std::string settings = "Ren\xE9\r\n" + HostBytes() + "\r\ngold & gl\xF6ry\r\n";
    const std::string exclusions = "ACC\\Realm\\Ren\xE9\r\n";
    scenario.writeSettings(settings);
    scenario.writeProgramFile(L"noupload.txt", exclusions);
    Scenario::setSiteAccount(Utf8(L"Ren\u00E9"), Utf8(L"gold & gl\u00F6ry"));

    AppDriver app;
    start(app);
    // The remembered password checks its box at start-up, which saves both files.
    ASSERT_TRUE(WaitFor([&] { return LogContains(app, L"Successfully logged in"); }, kStartTimeout));
    const auto entries = app.entries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_FALSE(entries[IndexOf(entries, rene)].checked);
    EXPECT_TRUE(entries[IndexOf(entries, bob)].checked);
    EXPECT_EQ(scenario.uploads().front().fileBytes, SavedDataOf(bob));
    // The login and address keep their code-page bytes; the clear password
    // of the earlier version is written protected.
    const std::string saved = scenario.readProgramFile(L"settings.txt");
    EXPECT_TRUE(saved.starts_with("Ren\xE9\r\n" + HostBytes() + "\r\ndpapi:")) << saved;
    EXPECT_EQ(saved.find("gl\xF6ry"), std::string::npos);
    EXPECT_EQ(scenario.readProgramFile(L"noupload.txt"), exclusions);
}

TEST_F(Names, ASettingsFileWithNulBytesIsReportedAndKeptUntilTheUserLogsIn) {
    const std::wstring bob = L"ACC\\Realm\\Bob";
    scenario.writeSavedData(bob, SavedDataOf(bob));
    using namespace std::string_literals;
    const std::string damaged = "raider\r\n" + HostBytes() + "\r\ngold\0\0\0\0 & glory\r\n"s;
    scenario.writeSettings(damaged);

    AppDriver app;
    start(app);
    ASSERT_TRUE(WaitFor([&] { return app.visible(); }, kStartTimeout)) << "no automatic login from a damaged file";
    EXPECT_TRUE(WaitFor([&] { return LogContains(app, L"settings.txt"); }, 5000)) << app.text(kIdData);
    EXPECT_TRUE(app.enabled(kIdLogin));
    EXPECT_TRUE(scenario.uploads().empty());
    EXPECT_EQ(scenario.readProgramFile(L"settings.txt"), damaged);

    EXPECT_EQ(app.text(kIdLogin), L"") << "nothing is taken from a damaged file";
    EXPECT_EQ(app.text(kIdPassword), L"");

    // "Remember Password" saves, but not over the damaged file.
    app.click(kIdRememberPassword);
    auto question = app.waitForMessageBox(5000);
    ASSERT_NE(question.window, nullptr);
    app.answer(question, IDNO);
    ASSERT_TRUE(WaitFor([&] { return scenario.programFileExists(L"noupload.txt"); }, 5000));
    EXPECT_EQ(scenario.readProgramFile(L"settings.txt"), damaged);

    // The user logs in: the file is written anew.
    app.setText(kIdURL, Scenario::siteHost());
    app.setText(kIdLogin, L"raider");
    app.setText(kIdPassword, L"gold & glory");
    app.pressEnter(kIdPassword);
    ASSERT_TRUE(scenario.waitForUploads(1, 3 * kTick));
    EXPECT_TRUE(WaitFor([&] { return scenario.readProgramFile(L"settings.txt") == "raider\r\n" + HostBytes() + "\r\n\r\n"; },
                        5000));
}

}  // namespace
}  // namespace hb::e2e
