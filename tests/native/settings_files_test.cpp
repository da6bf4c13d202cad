// "settings.txt" and "noupload.txt" in the whole program: the start-up load
// with its automatic login, the marks across starts, damaged files kept
// until a login. The store's saves and loads alone: settings_store_test.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "UploadsFixture.h"
#include "base/Base64.h"
#include "base/TextLines.h"
#include "base/Utf8.h"
#include "settings/PasswordLine.h"

namespace hb::test {
namespace {

using Lines = std::vector<std::string_view>;

TEST(TextLines, EndALineAtCrLfAtALoneCrOrAtALoneLf) {
    EXPECT_EQ(SplitTextLines(""), Lines{});
    EXPECT_EQ(SplitTextLines("a\r\nb\r\n"), (Lines{"a", "b"}));
    EXPECT_EQ(SplitTextLines("a\r\nb"), (Lines{"a", "b"}));
    EXPECT_EQ(SplitTextLines("a\rb\r"), (Lines{"a", "b"}));
    EXPECT_EQ(SplitTextLines("a\nb\n"), (Lines{"a", "b"}));  // a Linux editor under Wine
    EXPECT_EQ(SplitTextLines("a\r\n\r\n\r\n"), (Lines{"a", "", ""}));
    EXPECT_EQ(SplitTextLines("a\r\n\nb"), (Lines{"a", "", "b"}));  // one LF belongs to the CR, the next ends a line
    EXPECT_EQ(SplitTextLines("a\n\rb"), (Lines{"a", "", "b"}));     // LF CR is two line ends
    EXPECT_EQ(SplitTextLines("\n"), Lines{""});
    EXPECT_EQ(JoinTextLines({}), "");
    EXPECT_EQ(JoinTextLines({"a", "", "c"}), "a\r\n\r\nc\r\n");
}

using Texts = std::vector<std::wstring>;
const std::string kMark = "\xEF\xBB\xBF";

class SettingsFiles : public UploadsFixture {
protected:
    SettingsFiles() {
        window.setText(Control::URL, L"demo.example");
        window.setText(Control::Login, L"");
        window.setText(Control::Password, L"");
    }

    void writeSettings(const std::string& bytes) { temp.write("Program/settings.txt", bytes); }
    std::string settingsFile() const { return temp.read("Program/settings.txt"); }
    std::string exclusionFile() const { return temp.read("Program/noupload.txt"); }
    std::vector<bool> marks() const {
        std::vector<bool> checked;
        for (int i = 0; i < window.itemCount(); ++i) checked.push_back(window.itemChecked(i));
        return checked;
    }
    int saves(const wchar_t* name) const {
        auto found = counter->replacements.find(name);
        return found == counter->replacements.end() ? 0 : found->second;
    }

};

TEST_F(SettingsFiles, AMissingFileEmptiesTheBoxesAndDoesNotLogIn) {
    form->LoadSettings();

    EXPECT_EQ(window.text(Control::Login), L"");
    EXPECT_EQ(window.text(Control::URL), L"");  // the demonstration host is replaced too
    EXPECT_EQ(window.text(Control::Password), L"");
    EXPECT_EQ(window.checkValue(Control::RememberPassword), 0);
    EXPECT_TRUE(http.requests.empty());
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(window.focusRequests, std::vector<Control>{Control::Login});
    EXPECT_EQ(saves(L"settings.txt"), 0);
}

TEST_F(SettingsFiles, TwoLinesGiveAnEmptyPasswordAndNoLogin) {
    writeSettings("bob\r\nguild.example\r\n");
    form->LoadSettings();

    EXPECT_EQ(window.text(Control::Login), L"bob");
    EXPECT_EQ(window.text(Control::URL), L"guild.example");
    EXPECT_EQ(window.text(Control::Password), L"");
    EXPECT_EQ(window.checkValue(Control::RememberPassword), 0);
    EXPECT_TRUE(http.requests.empty());
    EXPECT_EQ(window.focusRequests, std::vector<Control>{Control::Password});
}

TEST_F(SettingsFiles, AnEmptyThirdLineRemembersNothingAndRewritesNothing) {
    writeSettings("bob\r\nguild.example\r\n\r\n");
    form->LoadSettings();

    EXPECT_EQ(window.checkValue(Control::RememberPassword), 0);
    EXPECT_EQ(saves(L"settings.txt"), 0);
    EXPECT_EQ(saves(L"noupload.txt"), 0);
    EXPECT_TRUE(http.requests.empty());
}

TEST_F(SettingsFiles, AThirdLineChecksTheBoxQuietlyRewritesBothFilesAndLogsIn) {
    addEntry("A");
    addEntry("B");
    // Start-up's order: the settings are loaded before the watcher is readied.
    form->scan().LoadfilesFromHardDrive();
    form->settings().CompareToHardDrive();
    window.setItemChecked(1, false);
    writeSettings("bob\r\nguild.example\r\nsecret pass\r\n");

    form->LoadSettings();

    EXPECT_EQ(window.checkValue(Control::RememberPassword), 1);
    EXPECT_FALSE(form->settings().LoadingSettings());
    EXPECT_TRUE(boxes.shown.empty());  // no question while loading
    EXPECT_EQ(saves(L"settings.txt"), 2);  // the box's click, then the login's save
    EXPECT_EQ(exclusionFile(), nameOf(1) + "\r\n");
    // An earlier version's clear password is written protected at once.
    EXPECT_EQ(settingsFile(), "bob\r\nguild.example\r\n" + rememberedLine(L"secret pass") + "\r\n");
    // The automatic login: from entry 0 the next checked entry wraps to 0.
    ASSERT_EQ(uploads(), std::vector<std::string>{dataOf(0)});
    EXPECT_TRUE(showsLoggedIn());
    EXPECT_TRUE(logHas(L"Successfully logged in"));
}

TEST_F(SettingsFiles, LinesAfterTheThirdAreIgnoredAndLostAtTheNextSave) {
    writeSettings("bob\r\nguild.example\r\npw\r\nfourth\r\nfifth");
    siteReply = L"Invalid Login/Password";
    form->LoadSettings();

    EXPECT_EQ(window.text(Control::Password), L"pw");
    EXPECT_EQ(settingsFile(), "bob\r\nguild.example\r\n" + rememberedLine(L"pw") + "\r\n");
    // A failed automatic login is reported during start-up and stays logged out.
    EXPECT_EQ(boxTexts(), std::vector<std::wstring>{L"Invalid Login/Password"});
    EXPECT_TRUE(showsLoggedOut());
}

TEST_F(SettingsFiles, ReadsLoneCrLineEndsAndAnsiBytes) {
    writeSettings("b\xe9" "b\rguild.example\rp\xe4ss");
    siteReply = L"Invalid Login/Password";
    form->LoadSettings();

    EXPECT_EQ(window.text(Control::Login), L"b\u00e9b");
    EXPECT_EQ(window.text(Control::Password), L"p\u00e4ss");
    EXPECT_EQ(settingsFile(), "b\xe9" "b\r\nguild.example\r\n" + rememberedLine(L"p\u00e4ss") + "\r\n");
}

TEST_F(SettingsFiles, ASaveKeepsLinesNamingNoEntryInTheirPlaceAndWritesTheMarksOfTheListedOnes) {
    addEntry("A");
    addEntry("B");
    addEntry("C");
    // Hand-edited too: an empty line and spaces around a name.
    temp.write("Program/noupload.txt", "GONE1\r\n  B  \r\n\r\nGONE2\r\nA\r\n");
    scan();
    ASSERT_FALSE(window.itemChecked(indexOf("A")));
    ASSERT_FALSE(window.itemChecked(indexOf("B")));
    ASSERT_TRUE(window.itemChecked(indexOf("C")));

    // The player checks A again and unchecks C.
    window.setItemChecked(indexOf("A"), true);
    window.setItemChecked(indexOf("C"), false);
    form->settings().SaveSettings();
    EXPECT_EQ(exclusionFile(), "GONE1\r\nB\r\nGONE2\r\nC\r\n");

    // Saved again unchanged, it stays as it is.
    form->settings().SaveSettings();
    EXPECT_EQ(exclusionFile(), "GONE1\r\nB\r\nGONE2\r\nC\r\n");
}

TEST_F(SettingsFiles, AnExclusionFileThatIsThereButCannotBeReadIsNotOverwritten) {
    addEntry("A");
    scan();
    window.setItemChecked(0, false);
    // A folder in its place reads as a failure, as a file the system refuses does.
    std::filesystem::create_directories(temp.path() / "Program" / "noupload.txt");
    window.setText(Control::Login, L"bob");
    window.setText(Control::URL, L"guild.example");

    form->settings().SaveSettings();

    EXPECT_TRUE(std::filesystem::is_directory(temp.path() / "Program" / "noupload.txt"));
    EXPECT_TRUE(logHas(L"Could not save " + programFolder() + L"\\noupload.txt: "));
    EXPECT_EQ(settingsFile(), "bob\r\nguild.example\r\n\r\n") << "the settings are saved all the same";
}

TEST_F(SettingsFiles, AnExclusionFileThatCannotBeReadAtStartUploadsNothingItMightNameAndLosesNoLine) {
    addEntry("A");
    addEntry("B");
    addEntry("C");
    // Unreadable at start-up (a folder in its place reads as a failure, as
    // a file the system refuses does): nothing it might name may go.
    std::filesystem::create_directories(temp.path() / "Program" / "noupload.txt");
    scan();
    EXPECT_EQ(marks(), (std::vector<bool>{false, false, false}));
    const std::wstring told = L"Could not read " + programFolder() + L"\\noupload.txt: ";
    EXPECT_TRUE(logHas(told));

    // A character the next scan finds waits too, told no second time.
    addEntry("D");
    form->scan().LoadfilesFromHardDriveIfChanged();
    ASSERT_EQ(window.itemCount(), 4);
    EXPECT_FALSE(window.itemChecked(indexOf("D")));
    EXPECT_EQ(log().find(told), log().rfind(told));

    // The file reads again by the automatic login's save: the marks follow
    // it, and it keeps every line.
    std::filesystem::remove(temp.path() / "Program" / "noupload.txt");
    temp.write("Program/noupload.txt", "B\r\nGONE\r\n");
    writeSettings("bob\r\nguild.example\r\n" + rememberedLine(L"secret") + "\r\n");
    form->LoadSettings();
    form->PrepareWatcher();
    for (const char* name : {"A", "C", "D"}) EXPECT_TRUE(window.itemChecked(indexOf(name))) << name;
    EXPECT_FALSE(window.itemChecked(indexOf("B")));
    EXPECT_EQ(exclusionFile(), "B\r\nGONE\r\n");
    EXPECT_TRUE(logHas(programFolder() + L"\\noupload.txt can be read again"));
    for (int i = 0; i < 8; ++i) form->UpdateTimer_Timer();
    for (const std::string& sent : uploads()) EXPECT_NE(sent, dataOf(indexOf("B")));
    EXPECT_GE(uploads().size(), 3u);
}

TEST_F(SettingsFiles, UncheckedEntriesComeBackUncheckedAtTheNextStart) {
    addEntry("A", "a\r\n");
    addEntry("B", "b\r\n");
    scan();
    window.setItemChecked(indexOf("A"), false);
    form->settings().SaveSettings();

    // The next start.
    window.items.clear();
    makeForm();
    scan();
    EXPECT_FALSE(window.itemChecked(indexOf("A")));
    EXPECT_TRUE(window.itemChecked(indexOf("B")));
}

TEST_F(SettingsFiles, NamesOutsideTheCodePageKeepTheirMarksAndNoEntryTakesAnothersMark) {
    // Through the code page each pair looks alike ("?ukasz" or "Lukasz",
    // "????", "x"); the first of each is unchecked.
    const Texts unchecked{L"\u0141ukasz", L"\u041B\u0435\u043D\u0430", L" x"};
    const Texts checked{L"Lukasz", L"\u0412\u0435\u0440\u0430", L"x", L"\u5C0F\u660E"};
    for (const Texts& names : {unchecked, checked}) {
        for (const auto& name : names) {
            const std::string utf8 = ToUtf8(name);  // the same folder name on Windows and Linux
            temp.write(std::filesystem::path("Game") / "WTF" / "Account" / std::u8string(utf8.begin(), utf8.end()) /
                           "SavedVariables" / "Hoardbook.lua",
                       "data\r\n");
        }
    }
    scan();
    auto index = [&](const std::wstring& text) {
        for (int i = 0; i < window.itemCount(); ++i) {
            if (window.itemText(i) == text) return i;
        }
        ADD_FAILURE() << "no entry";
        return 0;
    };
    for (const auto& text : unchecked) window.setItemChecked(index(text), false);
    form->settings().SaveSettings();
    EXPECT_TRUE(exclusionFile().starts_with(kMark));

    // The next start.
    window.items.clear();
    makeForm();
    scan();
    for (const auto& text : unchecked) EXPECT_FALSE(window.itemChecked(index(text)));
    for (const auto& text : checked) EXPECT_TRUE(window.itemChecked(index(text)));
}

TEST_F(SettingsFiles, ALoginAndPasswordOutsideTheCodePageComeBackIntact) {
    window.setText(Control::Login, L"\u0141ukasz");
    window.setText(Control::URL, L"guild.example");
    window.setText(Control::Password, L"\u043F\u0430\u0440\u043E\u043B\u044C");
    window.setCheckValue(Control::RememberPassword, 1);
    form->settings().SaveSettings();
    EXPECT_EQ(settingsFile(), kMark + "\xC5\x81ukasz\r\nguild.example\r\n" +
                                  rememberedLine(L"\u043F\u0430\u0440\u043E\u043B\u044C") + "\r\n");
    EXPECT_EQ(exclusionFile(), "") << "each file takes the form it needs";

    window.setText(Control::Login, L"");
    window.setText(Control::Password, L"");
    siteReply = L"Invalid Login/Password";
    form->LoadSettings();
    EXPECT_EQ(window.text(Control::Login), L"\u0141ukasz");
    EXPECT_EQ(window.text(Control::Password), L"\u043F\u0430\u0440\u043E\u043B\u044C");
    ASSERT_EQ(http.requests.size(), 1u) << "the automatic login is tried with them";
}

TEST_F(SettingsFiles, AFileWithNulBytesIsReportedNotUsedAndKeptUntilTheUserLogsIn) {
    addEntry("A");
    scan();
    const std::string damaged("bob\r\nguild.example\r\nsec\0\0\0\0\r\n", 29);
    writeSettings(damaged);
    form->LoadSettings();

    EXPECT_TRUE(http.requests.empty()) << "no automatic login";
    EXPECT_EQ(window.text(Control::Login), L"");
    EXPECT_EQ(window.text(Control::Password), L"");
    EXPECT_EQ(window.checkValue(Control::RememberPassword), 0);
    EXPECT_EQ(log(), process.dateTimeText + L": " + programFolder() +
                         L"\\settings.txt is damaged (it holds NUL bytes): the saved login was not used, and the "
                         L"file is kept as it is until you log in again.\r\n");

    // Saving for another reason (the user unchecks an entry, then clicks
    // "Remember Password") leaves the damaged file alone.
    window.setItemChecked(0, false);
    form->settings().SaveSettings();
    EXPECT_EQ(settingsFile(), damaged);
    EXPECT_EQ(exclusionFile(), "A\r\n");

    window.setItemChecked(0, true);
    window.setText(Control::Login, L"bob");
    window.setText(Control::URL, L"guild.example");
    window.setText(Control::Password, L"secret");
    form->Command1_Click();
    EXPECT_EQ(uploads().size(), 1u);
    EXPECT_EQ(settingsFile(), "bob\r\nguild.example\r\n\r\n");
}

TEST_F(SettingsFiles, AProtectedPasswordThisUserCannotReadCountsAsNoneAndIsNeverSent) {
    addEntry("A");
    scan();
    const FakeDataProtection otherUser('X');
    const std::wstring line = PasswordLineOf(L"their secret", otherUser).value();
    for (const std::string& third : {std::string(line.begin(), line.end()), std::string("dpapi:not base64!"),
                                     std::string("dpapi:")}) {
        window.setText(Control::Data, L"");
        writeSettings("bob\r\nguild.example\r\n" + third + "\r\n");
        form->LoadSettings();

        EXPECT_TRUE(http.requests.empty()) << "no automatic login: " << third;
        EXPECT_EQ(window.text(Control::Password), L"");
        EXPECT_EQ(window.text(Control::Login), L"bob");
        EXPECT_EQ(window.checkValue(Control::RememberPassword), 0);
        const std::wstring said = L"holds a remembered password that this Windows user cannot read";
        EXPECT_NE(log().find(said), std::wstring::npos) << log();
        EXPECT_EQ(log().find(said), log().rfind(said)) << "once";
        EXPECT_EQ(log().find(L"their secret"), std::wstring::npos);
    }
}

TEST(Base64, RoundTripsEveryLengthAndRefusesNonCanonicalText) {
    std::string bytes;
    for (int i = 0; i < 40; ++i) {
        EXPECT_EQ(FromBase64(ToBase64(bytes)).value_or("(refused)"), bytes) << i;
        bytes.push_back(static_cast<char>(i * 37 + 200));
    }
    EXPECT_EQ(ToBase64("foobar"), "Zm9vYmFy");
    EXPECT_EQ(ToBase64("fo"), "Zm8=");
    EXPECT_EQ(ToBase64("f"), "Zg==");
    for (const char* bad : {"Zg=", "Zh==", "Zm9=", "Z===", "Zm9v!mFy", "Zm 9v", "=Zm9"}) {
        EXPECT_FALSE(FromBase64(bad).has_value()) << bad;
    }
}

TEST_F(SettingsFiles, AFileAsEditorsSaveItLogsInWithTheRightLogin) {
    // UTF-8 without a byte-order mark and LF line ends: Notepad's default
    // today, and any editor under Wine. Polish, Russian and Chinese logins.
    const Texts logins{L"\u0141ukasz \u017B\u00F3\u0142w", L"\u041B\u0435\u043D\u0430", L"\u5C0F\u660E"};
    for (const auto& login : logins) {
        SCOPED_TRACE(ToUtf8(login));
        http.requests.clear();
        addEntry("A");
        scan();
        writeSettings(ToUtf8(login) + "\nguild.example\n" + ToUtf8(L"has\u0142o \u5BC6") + "\n");
        siteReply = L"Invalid Login/Password";
        form->LoadSettings();
        EXPECT_EQ(window.text(Control::Login), login);
        EXPECT_EQ(window.text(Control::URL), L"guild.example");
        EXPECT_EQ(window.text(Control::Password), L"has\u0142o \u5BC6");
        ASSERT_EQ(http.requests.size(), 1u) << "the automatic login is tried with them";
        boxes.shown.clear();
    }
}

TEST_F(SettingsFiles, ASettingsFileLargerThan64KilobytesIsDamagedAndNotRead) {
    // One long line, as a program that wrote its own data over the file leaves it.
    std::string huge = "bob\r\nguild.example\r\n" + std::string(64 * 1024, 'x') + "\r\n";
    writeSettings(huge);
    form->LoadSettings();

    EXPECT_EQ(counter->reads[L"settings.txt"], 0) << "not even read";
    EXPECT_TRUE(http.requests.empty()) << "no automatic login";
    EXPECT_EQ(window.text(Control::Login), L"");
    EXPECT_EQ(window.text(Control::Password), L"");
    EXPECT_EQ(log(), process.dateTimeText + L": " + programFolder() +
                         L"\\settings.txt is damaged (it is larger than 64 KB): the saved login was not used, and "
                         L"the file is kept as it is until you log in again.\r\n");
    form->settings().SaveSettings();
    EXPECT_EQ(settingsFile(), huge) << "kept until the user logs in";

    // Exactly 64 KB is a file that can be read.
    window.setText(Control::Data, L"");
    const std::string password(64 * 1024 - std::string("bob\r\nguild.example\r\n\r\n").size(), 'p');
    writeSettings("bob\r\nguild.example\r\n" + password + "\r\n");
    siteReply = L"Invalid Login/Password";
    form->LoadSettings();
    EXPECT_EQ(window.text(Control::Password).size(), password.size());
    EXPECT_EQ(log(), L"");
}

}  // namespace
}  // namespace hb::test
