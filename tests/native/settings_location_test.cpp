// Where settings.txt, noupload.txt and the log live: beside the program
// while its folder can be written, else in the per-user application-data
// folder; and an earlier version's files, taken over once.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "UploadsFixture.h"
#include "settings/SettingsLocation.h"

namespace hb::test {
namespace {

class SettingsLocationTest : public UploadsFixture {
protected:
    SettingsLocationTest() {
        std::filesystem::create_directories(temp.path() / "AppData");
        process.appDataFolder = temp.corePath("AppData");
        addEntry("ALPHA");
        addEntry("BRAVO");
        makeForm();
    }

    // The program under "Program Files": its folder refuses new files.
    void lockProgramFolder() { counter->lockedFolders.insert(L"Program"); }
    std::wstring perUserFolder() const { return temp.corePath("AppData") + L"\\HoardbookUploader"; }
    std::filesystem::path perUserPath() const { return temp.path() / "AppData" / "HoardbookUploader"; }

    // The program ends and starts again, with the same folders and ports.
    void restart() {
        window = FakeWindow();
        http.requests.clear();
        boxes.shown.clear();
        makeForm();
        form->onLoad();
    }
    int countIn(const std::wstring& log, const std::wstring& text) const {
        int count = 0;
        for (auto at = log.find(text); at != std::wstring::npos; at = log.find(text, at + 1)) ++count;
        return count;
    }
    bool checked(const std::string& entry) const { return window.itemChecked(indexOf(entry)); }

};

TEST_F(SettingsLocationTest, AWritableProgramFolderKeepsEverythingBesideTheProgramAndSaysNothing) {
    form->onLoad();
    window.setCheckValue(Control::RememberPassword, 1);
    form->settings().SaveSettings();

    EXPECT_EQ(form->settingsLocation().folder(), programFolder());
    EXPECT_TRUE(temp.exists("Program/settings.txt"));
    EXPECT_FALSE(std::filesystem::exists(perUserPath()));
    EXPECT_FALSE(logHas(L"Settings are kept in"));
}

TEST_F(SettingsLocationTest, AProgramFolderThatCannotBeWrittenKeepsSettingsAndPasswordInThePerUserFolder) {
    lockProgramFolder();
    form->onLoad();
    const std::wstring note = L"Settings are kept in " + perUserFolder() + L", because the program's folder " +
                              programFolder() + L" cannot be written to";
    EXPECT_EQ(countIn(log(), note), 1);
    EXPECT_EQ(form->settings().SettingsFilePath(), perUserFolder() + L"\\settings.txt");
    EXPECT_EQ(form->settings().ExclusionFilePath(), perUserFolder() + L"\\noupload.txt");

    // The player types the login, remembers the password, unchecks an entry and logs in.
    window.setText(Control::URL, L"guild.example");
    window.setText(Control::Login, L"bob");
    window.setText(Control::Password, L"secret pass");
    window.setItemChecked(indexOf("BRAVO"), false);
    window.userClick(Control::RememberPassword);  // Yes
    form->Command1_Click();
    ASSERT_EQ(uploads().size(), 1u) << log();
    EXPECT_FALSE(logHas(L"Could not save"));
    EXPECT_GT(counter->replacements[L"settings.txt"], 0);
    EXPECT_EQ(temp.read(perUserPath() / "settings.txt"),
              "bob\r\nguild.example\r\n" + rememberedLine(L"secret pass") + "\r\n");
    EXPECT_EQ(temp.read(perUserPath() / "noupload.txt"), "BRAVO\r\n");
    EXPECT_FALSE(temp.exists("Program/settings.txt"));

    // The next start logs in by itself with the remembered password.
    restart();
    EXPECT_EQ(countIn(log(), note), 1) << "said once per start";
    EXPECT_EQ(window.text(Control::Password), L"secret pass");
    EXPECT_EQ(window.checkValue(Control::RememberPassword), 1);
    EXPECT_EQ(uploads().size(), 1u) << "the automatic login";
    EXPECT_TRUE(logHas(L"Successfully logged in"));
    EXPECT_FALSE(checked("BRAVO"));
    EXPECT_TRUE(std::filesystem::exists(perUserPath() / "HoardbookUploader.log"));
}

TEST_F(SettingsLocationTest, WithoutAPerUserFolderTheFilesStayBesideTheProgram) {
    lockProgramFolder();
    process.appDataFolder.clear();
    form->onLoad();
    EXPECT_EQ(form->settingsLocation().folder(), programFolder());
    EXPECT_FALSE(logHas(L"Settings are kept in"));
}

TEST_F(SettingsLocationTest, AnEarlierVersionsFilesInTheWorkingDirectoryAreTakenOverOnce) {
    // Started by hand from another folder, an earlier version kept its files there.
    process.workFolder = temp.corePath("Work");
    temp.write("Work/settings.txt", "bob\r\nguild.example\r\nsecret pass\r\n");
    temp.write("Work/noupload.txt", "BRAVO\r\n");

    form->onLoad();

    EXPECT_TRUE(logHas(L"Took over settings.txt and noupload.txt from " + temp.corePath("Work")));
    // Taken over, then written with the password protected by the login's save.
    EXPECT_EQ(temp.read("Program/settings.txt"), "bob\r\nguild.example\r\n" + rememberedLine(L"secret pass") + "\r\n");
    EXPECT_EQ(temp.read("Program/noupload.txt"), "BRAVO\r\n");
    EXPECT_TRUE(logHas(L"Successfully logged in")) << "with the earlier version's login";
    EXPECT_FALSE(checked("BRAVO"));
    EXPECT_TRUE(temp.exists("Work/settings.txt")) << "the old files stay for an earlier copy";

    // Changed there later, they are not taken again.
    temp.write("Work/settings.txt", "eve\r\nother.example\r\n\r\n");
    temp.write("Work/noupload.txt", "ALPHA\r\n");
    restart();
    EXPECT_FALSE(logHas(L"Took over"));
    EXPECT_EQ(window.text(Control::Login), L"bob");
    EXPECT_FALSE(checked("BRAVO"));
    EXPECT_TRUE(checked("ALPHA"));
}

TEST_F(SettingsLocationTest, OneFileAloneIsTakenOverToo) {
    process.workFolder = temp.corePath("Work");
    temp.write("Work/noupload.txt", "BRAVO\r\n");
    form->onLoad();
    EXPECT_TRUE(logHas(L"Took over noupload.txt from " + temp.corePath("Work")));
    EXPECT_FALSE(temp.exists("Program/settings.txt"));
    EXPECT_FALSE(checked("BRAVO"));
}

TEST_F(SettingsLocationTest, TheVirtualStoreCopyOfALockedProgramFolderIsTheNewestAndIsTakenFirst) {
    // An earlier version under Program Files wrote through Windows'
    // redirection into the VirtualStore and read its copy from there; the
    // one in the folder itself is older (put there by an installer, say).
    lockProgramFolder();
    process.virtualStores[programFolder()] = temp.corePath("AppData") + sep() + L"VirtualStore" + sep() + L"Program";
    temp.write("AppData/VirtualStore/Program/settings.txt", "new\r\nguild.example\r\n\r\n");
    temp.write("Program/settings.txt", "old\r\nguild.example\r\n\r\n");
    process.workFolder = temp.corePath("Work");
    temp.write("Work/settings.txt", "work\r\nguild.example\r\n\r\n");

    form->onLoad();

    EXPECT_EQ(window.text(Control::Login), L"new");
    EXPECT_EQ(temp.read(perUserPath() / "settings.txt"), "new\r\nguild.example\r\n\r\n");
    EXPECT_TRUE(logHas(L"Took over settings.txt from " + process.virtualStores[programFolder()]));
}

TEST_F(SettingsLocationTest, FilesLeftBesideTheProgramFollowItIntoThePerUserFolder) {
    // This version kept them beside itself; then the folder was moved under
    // Program Files, where it may no longer write.
    temp.write("Program/settings.txt", "bob\r\nguild.example\r\n\r\n");
    temp.write("Program/noupload.txt", "BRAVO\r\n");
    lockProgramFolder();
    form->onLoad();
    EXPECT_EQ(window.text(Control::Login), L"bob");
    EXPECT_FALSE(checked("BRAVO"));
    EXPECT_EQ(temp.read(perUserPath() / "noupload.txt"), "BRAVO\r\n");
}

TEST_F(SettingsLocationTest, EarlierPlacesAreListedOnceNewestFirstWithoutTheChosenFolder) {
    lockProgramFolder();
    const std::wstring store = temp.corePath("AppData") + sep() + L"VirtualStore" + sep() + L"Program";
    process.virtualStores[programFolder()] = store;
    process.workFolder = temp.corePath("Work");
    SettingsLocation location(*files, process);
    EXPECT_EQ(location.folder(), perUserFolder());
    EXPECT_EQ(location.earlierPlaces(), (std::vector<std::wstring>{store, programFolder(), temp.corePath("Work")}));

    // Started by hand in its own folder, the working directory is that folder.
    process.workFolder.clear();
    SettingsLocation byHand(*files, process);
    EXPECT_EQ(byHand.earlierPlaces(), (std::vector<std::wstring>{store, programFolder()}));
}

}  // namespace
}  // namespace hb::test
