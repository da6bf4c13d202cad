// Every flavour of the game: the folder InstallPath names keeps its entry
// texts, its sibling flavour folders are listed with their name in front,
// each text leads back to its own file, exclusions and uploads work for
// them, and the game is found through its uninstall entry when InstallPath
// is missing.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "UploadsFixture.h"
#include "gamedata/ScanRoots.h"

namespace hb::test {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

const std::wstring kUninstallKeys = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const std::wstring kUninstallKey = kUninstallKeys + L"\\World of Warcraft";

// The launcher's layout: "World of Warcraft" holding "_retail_" (which
// InstallPath names) and "_classic_era_".
class Flavours : public UploadsFixture {
protected:
    Flavours() {
        registry.putString(RegistryRoot::LocalMachine, kWowKey, L"InstallPath",
                           temp.corePath("World of Warcraft") + sep() + L"_retail_" + sep());
        registry.createKey(RegistryRoot::LocalMachine, kUninstallKeys);
    }

    fs::path saved(const std::string& flavour, const std::string& entry) const {
        fs::path path = temp.path() / "World of Warcraft" / flavour / "WTF" / "Account";
        for (std::size_t start = 0, end; start <= entry.size(); start = end + 1) {
            end = std::min(entry.find('\\', start), entry.size());
            path /= entry.substr(start, end - start);
        }
        return path / "SavedVariables" / "Hoardbook.lua";
    }
    void put(const std::string& flavour, const std::string& entry, const std::string& bytes,
             fs::file_time_type time = kBaseTime) {
        fs::create_directories(saved(flavour, entry).parent_path());
        temp.write(fs::relative(saved(flavour, entry), temp.path()), bytes);
        fs::last_write_time(saved(flavour, entry), time);
    }
    std::string contentOf(const std::wstring& path) const {
        std::wstring error;
        return files->readAll(path, error).value_or("(unreadable)");
    }
    std::set<std::wstring> texts() const {
        std::set<std::wstring> all;
        for (const auto& item : window.items) all.insert(item.text);
        return all;
    }
    void tick(int count = 1) {
        for (int i = 0; i < count; ++i) {
            process.nowMs += 5000;
            form->UpdateTimer_Timer();
        }
    }
    void restart() {
        window = FakeWindow();
        window.setText(Control::URL, L"guild.example");
        window.setText(Control::Login, L"bob");
        window.setText(Control::Password, L"secret pass");
        http.requests.clear();
        makeForm();
        scanAndLogIn();
    }
};

TEST_F(Flavours, BothFlavoursAreListedTheNamedOneWithTodaysTextsAndEachTextLeadsToItsOwnFile) {
    put("_retail_", "ACC\\Realm\\Alice", "retail alice\r\n");
    put("_retail_", "ACC", "retail account\r\n");
    put("_classic_era_", "ACC\\Realm\\Alice", "era alice\r\n");
    put("_classic_era_", "OTHER\\Whitemane\\Bob", "era bob\r\n");
    // Not flavours: no "_name_" form, or no account folder.
    put("Interface", "X", "no\r\n");
    fs::create_directories(temp.path() / "World of Warcraft" / "_ptr_" / "Interface");
    scan();

    EXPECT_EQ(texts(), (std::set<std::wstring>{L"ACC", L"ACC\\Realm\\Alice", L"_classic_era_\\ACC\\Realm\\Alice",
                                               L"_classic_era_\\OTHER\\Whitemane\\Bob"}));
    for (int i = 0; i < window.itemCount(); ++i) EXPECT_TRUE(window.itemChecked(i));
    EXPECT_EQ(contentOf(form->savedData().SavedDataFileOf(entryNamed("ACC\\Realm\\Alice"))), "retail alice\r\n");
    EXPECT_EQ(contentOf(form->savedData().SavedDataFileOf(entryNamed("_classic_era_\\ACC\\Realm\\Alice"))),
              "era alice\r\n");
    EXPECT_EQ(form->savedData().LoadDataFromHardDrive(entryNamed("_classic_era_\\OTHER\\Whitemane\\Bob")),
              "era bob\r\n");
}

TEST_F(Flavours, AnUncheckedClassicCharacterStaysUncheckedAcrossARestartAndIsNeverUploaded) {
    put("_retail_", "ACC\\Realm\\Alice", "retail alice\r\n");
    put("_classic_era_", "ACC\\Realm\\Alice", "era alice\r\n");
    scan();
    window.setItemChecked(indexOf("_classic_era_\\ACC\\Realm\\Alice"), false);
    form->settings().SaveSettings();
    EXPECT_EQ(temp.read("Program/noupload.txt"), "_classic_era_\\ACC\\Realm\\Alice\r\n");

    restart();
    ASSERT_EQ(window.itemCount(), 2);
    EXPECT_FALSE(window.itemChecked(indexOf("_classic_era_\\ACC\\Realm\\Alice")));
    EXPECT_TRUE(window.itemChecked(indexOf("ACC\\Realm\\Alice")));
    put("_classic_era_", "ACC\\Realm\\Alice", "era alice again\r\n", kBaseTime + std::chrono::hours(1));
    tick(6);
    EXPECT_EQ(uploads(), Strings{"retail alice\r\n"});
}

TEST_F(Flavours, AChangeInEitherFlavourIsUploadedAndANewClassicCharacterJoins) {
    put("_retail_", "ACC\\Realm\\Alice", "retail 1\r\n");
    put("_classic_era_", "ACC\\Realm\\Alice", "era 1\r\n");
    scanAndLogIn();
    tick(2);
    ASSERT_EQ(uploads().size(), 2u) << log();

    put("_retail_", "ACC\\Realm\\Alice", "retail 2\r\n", kBaseTime + std::chrono::hours(1));
    put("_classic_era_", "ACC\\Realm\\Alice", "era 2\r\n", kBaseTime + std::chrono::hours(1));
    put("_classic_era_", "ACC\\Realm\\Carol", "carol\r\n");
    tick(4);

    Strings sent = uploads();
    EXPECT_EQ(std::set<std::string>(sent.begin() + 2, sent.end()),
              (std::set<std::string>{"retail 2\r\n", "era 2\r\n", "carol\r\n"}));
    EXPECT_TRUE(logHas(L"Profile for _classic_era_\\ACC\\Realm\\Carol changed and was uploaded"));
}

TEST_F(Flavours, InstallPathNamingTheGameFolderListsEveryFlavourWithItsName) {
    registry.putString(RegistryRoot::LocalMachine, kWowKey, L"InstallPath", temp.corePath("World of Warcraft"));
    put("_retail_", "ACC\\Realm\\Alice", "retail\r\n");
    put("_classic_", "ACC\\Realm\\Alice", "classic\r\n");
    scan();
    EXPECT_EQ(texts(), (std::set<std::wstring>{L"_retail_\\ACC\\Realm\\Alice", L"_classic_\\ACC\\Realm\\Alice"}));
    EXPECT_EQ(form->savedData().LoadDataFromHardDrive(entryNamed("_classic_\\ACC\\Realm\\Alice")),
              "classic\r\n");
}

TEST_F(Flavours, WithoutInstallPathTheUninstallEntryLeadsToTheGameAndBothFlavoursAreListed) {
    registry.put(RegistryRoot::LocalMachine, kWowKey, L"InstallPath", reg::REG_DWORD_TYPE, {});
    registry.putString(RegistryRoot::LocalMachine, kUninstallKey, L"DisplayName", L"World of Warcraft");
    registry.putString(RegistryRoot::LocalMachine, kUninstallKey, L"InstallLocation",
                       temp.corePath("World of Warcraft"));
    put("_retail_", "ACC\\Realm\\Alice", "retail\r\n");
    put("_classic_era_", "ACC\\Realm\\Alice", "era\r\n");

    scan();

    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(process.endCount, 0);
    EXPECT_EQ(texts(),
              (std::set<std::wstring>{L"_retail_\\ACC\\Realm\\Alice", L"_classic_era_\\ACC\\Realm\\Alice"}));
    EXPECT_TRUE(logHas(L"found the game in " + temp.corePath("World of Warcraft")));
}

TEST_F(Flavours, AnUninstallEntryOfAnotherProgramOrAFolderWithoutTheGameIsPassedOver) {
    registry.put(RegistryRoot::LocalMachine, kWowKey, L"InstallPath", reg::REG_DWORD_TYPE, {});
    const std::wstring other = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Other";
    registry.putString(RegistryRoot::LocalMachine, other, L"DisplayName", L"Some Editor");
    registry.putString(RegistryRoot::LocalMachine, other, L"InstallLocation", temp.corePath("World of Warcraft"));
    registry.putString(RegistryRoot::LocalMachine, kUninstallKey, L"InstallLocation", temp.corePath("Empty"));
    fs::create_directories(temp.path() / "Empty");
    put("_retail_", "ACC", "retail\r\n");

    EXPECT_THROW(scan(), ProcessEnded);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text,
              L"We were unable to locate your World of Warcraft Folder.  Apparently WoW is not properly installed."
              L"\r\n\r\nHoardbookUploader will now exit");
}

TEST_F(Flavours, ALinkFromRetailIntoClassicsTreeLeavesTheCharacterToClassic) {
    put("_retail_", "ACC\\Realm\\Alice", "retail\r\n");
    put("_classic_era_", "ACC\\Realm\\Bob", "era bob\r\n");
    std::error_code error;
    fs::create_directory_symlink(temp.path() / "World of Warcraft" / "_classic_era_" / "WTF" / "Account" / "ACC",
                                 temp.path() / "World of Warcraft" / "_retail_" / "WTF" / "Account" / "LINKED", error);
    if (error) GTEST_SKIP() << "folder links cannot be made here";
    scan();
    EXPECT_EQ(texts(), (std::set<std::wstring>{L"ACC\\Realm\\Alice", L"_classic_era_\\ACC\\Realm\\Bob"}));
}

TEST_F(Flavours, AFlavourFolderThatLinksToTheNamedOneIsWalkedOnce) {
    put("_retail_", "ACC\\Realm\\Alice", "retail\r\n");
    std::error_code error;
    fs::create_directory_symlink(temp.path() / "World of Warcraft" / "_retail_",
                                 temp.path() / "World of Warcraft" / "_classic_", error);
    if (error) GTEST_SKIP() << "folder links cannot be made here";
    scanAndLogIn();
    EXPECT_EQ(texts(), (std::set<std::wstring>{L"ACC\\Realm\\Alice"}));
}

// With change notifications: each flavour's account tree has a watch of its
// own, quiet ticks walk nothing, and a name changed in any one tree is
// walked at the next tick while the others stay quiet.
class WatchedFlavours : public Flavours {
protected:
    WatchedFlavours() {
        use(changes);
        makeForm();
    }
    bool tickWalked() {
        const int before = counter->listings;
        tick();
        return counter->listings > before;
    }
    std::wstring accountFolder(const std::wstring& flavour) const {
        return temp.corePath("World of Warcraft") + L"\\" + flavour + L"\\WTF\\Account";
    }
};

TEST_F(WatchedFlavours, EachFlavourIsWatchedUntilLogOutAndAChangeInClassicIsWalkedAtTheNextTick) {
    put("_retail_", "ACC\\Realm\\Alice", "retail\r\n");
    put("_classic_era_", "ACC\\Realm\\Alice", "era\r\n");
    scanAndLogIn();
    EXPECT_TRUE(tickWalked()) << "what happened before the watches began is unknown";
    EXPECT_EQ(changes.watchesAsked, 2);
    EXPECT_TRUE(changes.watching(form->folders().GetAccountDir()));
    EXPECT_TRUE(changes.watching(accountFolder(L"_classic_era_")));
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(tickWalked()) << "quiet tick " << i;

    put("_classic_era_", "ACC\\Realm\\Carol", "carol\r\n");
    changes.signalChange(accountFolder(L"_classic_era_"));
    EXPECT_TRUE(tickWalked());
    EXPECT_EQ(texts(), (std::set<std::wstring>{L"ACC\\Realm\\Alice", L"_classic_era_\\ACC\\Realm\\Alice",
                                               L"_classic_era_\\ACC\\Realm\\Carol"}));
    EXPECT_EQ(changes.watchesAsked, 2);

    // Log Out lets go of every flavour's watch.
    EXPECT_EQ(changes.openWatches(), 2);
    form->Command3_Click();
    EXPECT_EQ(changes.openWatches(), 0);
}

// The named flavour's own schedule says a walk is due; Classic's, asked
// after it, says not: the tick walks all the same.
TEST_F(WatchedFlavours, AChangeInTheNamedFlavourIsWalkedWhileClassicStaysQuiet) {
    put("_retail_", "ACC\\Realm\\Alice", "retail\r\n");
    put("_classic_era_", "ACC\\Realm\\Alice", "era\r\n");
    scanAndLogIn();
    EXPECT_TRUE(tickWalked());
    EXPECT_FALSE(tickWalked());

    put("_retail_", "ACC\\Realm\\Dave", "dave\r\n");
    changes.signalChange(form->folders().GetAccountDir());
    EXPECT_TRUE(tickWalked());
    EXPECT_EQ(texts(), (std::set<std::wstring>{L"ACC\\Realm\\Alice", L"ACC\\Realm\\Dave",
                                               L"_classic_era_\\ACC\\Realm\\Alice"}));
    EXPECT_FALSE(tickWalked()) << "the change was walked once";
    EXPECT_EQ(changes.watchesAsked, 2);
}

TEST(FlavourFolderNames, AreAnUnderscoreLettersAndAnUnderscore) {
    for (const wchar_t* name : {L"_retail_", L"_classic_era_", L"_anniversary_", L"_xptr_", L"_Beta_"}) {
        EXPECT_TRUE(IsFlavourFolderName(name)) << name;
    }
    for (const wchar_t* name : {L"__", L"_", L"retail", L"_retail", L"_ret ail_", L"_r2_", L"Interface"}) {
        EXPECT_FALSE(IsFlavourFolderName(name)) << name;
    }
}

}  // namespace
}  // namespace hb::test
