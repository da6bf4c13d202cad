// SettingsStore built alone: what "settings.txt" and "noupload.txt" hold
// after a save, what a load puts in the window, and whether it says to log
// in. The start-up load with its automatic login is in settings_files_test.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "base/Utf8.h"
#include "settings/PasswordLine.h"
#include "settings/SettingsStore.h"
#include "support/ClickEvents.h"
#include "support/FormFixture.h"

namespace hb::test {
namespace {

class SettingsStoreAlone : public PortsFixture {
protected:
    SettingsStoreAlone() {
        window.setText(Control::URL, L"demo.example");
        events.route(Control::RememberPassword, [this] {
            loadingAtClick.push_back(store.LoadingSettings());
            store.RememberPassword_Click();
        });
        window.connect(&events);
    }

    void writeSettings(const std::string& bytes) { temp.write("Program/settings.txt", bytes); }
    std::string settingsFile() const { return temp.read("Program/settings.txt"); }
    std::string exclusionFile() const { return temp.read("Program/noupload.txt"); }
    void fillFields(const std::wstring& login, const std::wstring& url, const std::wstring& password) {
        window.setText(Control::Login, login);
        window.setText(Control::URL, url);
        window.setText(Control::Password, password);
    }

    Ports wired = ports();
    ClickEvents events;
    SettingsLocation location{wired.files, wired.process};
    SettingsStore store{wired.window,   events,           wired.boxes, wired.files, location,
                        wired.codepage, wired.protection, messages};
    // Whether the store said it was loading at each click of the box.
    std::vector<bool> loadingAtClick;
};

TEST_F(SettingsStoreAlone, LiveBesideTheExecutableNotInTheWorkingDirectory) {
    EXPECT_EQ(store.SettingsFilePath(), programFolder() + L"\\settings.txt");
    EXPECT_EQ(store.ExclusionFilePath(), programFolder() + L"\\noupload.txt");

    window.setText(Control::Login, L"bob");
    store.SaveSettings();
    EXPECT_TRUE(temp.exists("Program/settings.txt"));
    EXPECT_TRUE(temp.exists("Program/noupload.txt"));
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::current_path() / "settings.txt"));
}

TEST_F(SettingsStoreAlone, ALoadSaysToLogInOnlyWhenAllThreeFieldsComeFromAFileItCanUse) {
    const std::string remembered = rememberedLine(L"secret");
    const FakeDataProtection otherUser('X');
    const std::wstring theirs = PasswordLineOf(L"theirs", otherUser).value();
    struct Case {
        const char* what;
        std::string file;
        bool remembered;  // the box shows a password was loaded
        bool logIn;
    } cases[] = {
        {"two lines", "bob\r\nguild.example\r\n", false, false},
        {"an empty third line", "bob\r\nguild.example\r\n\r\n", false, false},
        {"no login", "\r\nguild.example\r\n" + remembered + "\r\n", true, false},
        {"no address", "bob\r\n\r\n" + remembered + "\r\n", true, false},
        {"NUL bytes", std::string("bob\r\nguild.example\r\nsec\0\r\n", 26), false, false},
        {"another user's password",
         "bob\r\nguild.example\r\n" + std::string(theirs.begin(), theirs.end()) + "\r\n", false, false},
        {"a clear password of an earlier version", "bob\r\nguild.example\r\nsecret\r\n", true, true},
        {"a protected password", "bob\r\nguild.example\r\n" + remembered + "\r\n", true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        window.setCheckValue(Control::RememberPassword, 0);
        loadingAtClick.clear();
        writeSettings(c.file);
        EXPECT_EQ(store.LoadSettings(), c.logIn);
        EXPECT_EQ(window.checkValue(Control::RememberPassword), c.remembered ? 1 : 0);
        // The box is set while loading, which is no reason to ask.
        EXPECT_EQ(loadingAtClick, std::vector<bool>(c.remembered ? 1 : 0, true));
        EXPECT_FALSE(store.LoadingSettings());
        EXPECT_TRUE(boxes.shown.empty());
    }
}

TEST_F(SettingsStoreAlone, AFileThatIsThereButCannotBeReadIsToldNotUsedAndKeptUntilALogin) {
    // A folder in its place reads as a failure, as a file another program
    // holds or the user may not read does.
    std::filesystem::create_directories(temp.path() / "Program" / "settings.txt");
    fillFields(L"typed", L"typed.example", L"typed");

    EXPECT_FALSE(store.LoadSettings());
    EXPECT_EQ(window.text(Control::Login), L"");
    ASSERT_EQ(messages.entries.size(), 1u);
    EXPECT_TRUE(messages.entries[0].starts_with(L"Could not read " + programFolder() + L"\\settings.txt: "));
    EXPECT_TRUE(messages.entries[0].ends_with(
        L". The saved login was not used, and the file is kept as it is until you log in again."));

    // A save for another reason leaves it; the login's save replaces it.
    std::filesystem::remove(temp.path() / "Program" / "settings.txt");
    writeSettings("bob\r\nguild.example\r\n" + rememberedLine(L"secret") + "\r\n");
    fillFields(L"", L"", L"");
    store.SaveSettings();
    EXPECT_EQ(settingsFile(), "bob\r\nguild.example\r\n" + rememberedLine(L"secret") + "\r\n");
    fillFields(L"alice", L"guild.example", L"pw");
    store.SaveSettingsAtLogin();
    EXPECT_EQ(settingsFile(), "alice\r\nguild.example\r\n\r\n");
}

TEST_F(SettingsStoreAlone, SavesThreeLinesAndThePasswordOnlyWhenRemembered) {
    fillFields(L"bob", L"guild.example", L"secret");

    store.SaveSettings();
    EXPECT_EQ(settingsFile(), "bob\r\nguild.example\r\n\r\n");

    window.setCheckValue(Control::RememberPassword, 1);
    store.SaveSettings();
    EXPECT_EQ(settingsFile(), "bob\r\nguild.example\r\n" + rememberedLine(L"secret") + "\r\n");

    // The next start with an unremembered password shows an empty box.
    window.setCheckValue(Control::RememberPassword, 0);
    store.SaveSettings();
    window.setText(Control::Password, L"typed");
    EXPECT_FALSE(store.LoadSettings());
    EXPECT_EQ(window.text(Control::Password), L"");
}

TEST_F(SettingsStoreAlone, TheRememberedPasswordIsNeverWrittenInAnyPlainForm) {
    fillFields(L"bob", L"https://guild.example", L"");
    window.setCheckValue(Control::RememberPassword, 1);
    for (const std::wstring& password : {std::wstring(L"secret pass"), std::wstring(L"dpapi:looks marked"),
                                         std::wstring(L"\u0437\u043E\u043B\u043E\u0442\u043E")}) {
        window.setText(Control::Password, password);
        store.SaveSettings();
        const std::string file = settingsFile();
        EXPECT_TRUE(file.starts_with("bob\r\nhttps://guild.example\r\ndpapi:")) << file;
        for (const std::string& plain : {ToUtf8(password), codepage.toAnsi(password), std::string("c2VjcmV0")}) {
            EXPECT_EQ(file.find(plain), std::string::npos) << "found " << plain;
        }
        // And the next start reads it back.
        window.setText(Control::Password, L"");
        EXPECT_TRUE(store.LoadSettings());
        EXPECT_EQ(window.text(Control::Password), password);
        EXPECT_EQ(window.text(Control::URL), L"https://guild.example");
    }
}

TEST_F(SettingsStoreAlone, APasswordThatCannotBeProtectedIsNotRemembered) {
    protection.refuses = true;
    fillFields(L"bob", L"guild.example", L"secret");
    window.setCheckValue(Control::RememberPassword, 1);
    store.SaveSettings();
    EXPECT_EQ(settingsFile(), "bob\r\nguild.example\r\n\r\n");
    EXPECT_EQ(messages.entries,
              std::vector<std::wstring>{
                  L"The password could not be protected for this Windows user, so it was not remembered."});
}

TEST_F(SettingsStoreAlone, TheExclusionFileNamesTheUncheckedEntriesInListOrder) {
    window.addItem(L"FIRST");
    window.addItem(L"SECOND");
    window.addItem(L" third ");
    window.setItemChecked(1, true);

    store.SaveSettings();
    EXPECT_EQ(exclusionFile(), "FIRST\r\n third \r\n");  // as they stand, untrimmed

    for (int i = 0; i < 3; ++i) window.setItemChecked(i, true);
    store.SaveSettings();
    EXPECT_TRUE(temp.exists("Program/noupload.txt"));
    EXPECT_EQ(exclusionFile(), "");
}

TEST_F(SettingsStoreAlone, AnEmptyListKeepsEveryExclusion) {
    // The account tree is missing for a while (renamed to reset the game's
    // interface, a drive not yet mounted): no entry is listed at all.
    temp.write("Program/noupload.txt", "OLD\r\nACC\\Realm\\Gone\r\n");
    store.SaveSettings();
    EXPECT_EQ(exclusionFile(), "OLD\r\nACC\\Realm\\Gone\r\n");
}

TEST_F(SettingsStoreAlone, AreReplacedAtomicallyAndAFailureLeavesTheOldFileWhole) {
    writeSettings("old\r\nguild.example\r\n\r\n");
    window.setText(Control::Login, L"new");
    window.addItem(L"X");
    counter->failing.insert(L"settings.txt");

    store.SaveSettings();

    EXPECT_EQ(settingsFile(), "old\r\nguild.example\r\n\r\n");
    EXPECT_EQ(exclusionFile(), "X\r\n");  // the second file is still written
    EXPECT_EQ(counter->plainWrites, 0);   // never truncate-and-write
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(messages.entries,
              std::vector<std::wstring>{L"Could not save " + programFolder() + L"\\settings.txt: The disk is full."});

    // Nothing but the two files is left in the folder.
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(temp.path() / "Program")) {
        names.insert(entry.path().filename().string());
    }
    EXPECT_EQ(names, (std::set<std::string>{"settings.txt", "noupload.txt"}));
}

}  // namespace
}  // namespace hb::test
