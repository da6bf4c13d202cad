// The character scan over the Win32 file system: hidden and system folders
// and files are not walked, saved data is read with its line ends, and the
// watcher's rescan walks when the system's change notifications say so.

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <functional>

#include "native/CountingFileSystem.h"
#include "support/FormFixture.h"
#include "win32/Win32FolderChanges.h"

namespace hb::test {
namespace {

class WindowsScan : public FormFixture {
protected:
    WindowsScan() { installGame(); }
    std::filesystem::path account() const { return temp.path() / "Game" / "WTF" / "Account"; }
    void setAttributes(const std::filesystem::path& path, DWORD attributes) {
        ASSERT_TRUE(::SetFileAttributesW(path.wstring().c_str(), attributes));
    }
    std::vector<std::wstring> entries() const {
        std::vector<std::wstring> texts;
        for (const auto& item : window.items) texts.push_back(item.text);
        return texts;
    }
};

TEST_F(WindowsScan, HiddenAndSystemFoldersAndFilesAreNotWalked) {
    addSavedData("SHOWN", "x");
    addSavedData("HIDDEN", "x");
    addSavedData("SYSTEM\\Realm\\Char", "x");
    addSavedData("FILEHIDDEN", "x");
    setAttributes(account() / "HIDDEN", FILE_ATTRIBUTE_HIDDEN);
    setAttributes(account() / "SYSTEM", FILE_ATTRIBUTE_SYSTEM);
    setAttributes(account() / "FILEHIDDEN" / "SavedVariables" / "Hoardbook.lua", FILE_ATTRIBUTE_HIDDEN);
    form->LoadfilesFromHardDrive();
    EXPECT_EQ(entries(), std::vector<std::wstring>{L"SHOWN"});
}

TEST_F(WindowsScan, EntriesAndSavedDataRoundTripThroughWindowsPaths) {
    addSavedData("ACCT\\Realm\\Char", "one\ntwo\r");
    form->LoadfilesFromHardDrive();
    ASSERT_EQ(entries(), std::vector<std::wstring>{L"ACCT\\Realm\\Char"});
    EXPECT_EQ(form->LoadDataFromHardDrive(0), "one\ntwo\r\n");
    // The same folder in other case is the same entry on Windows.
    EXPECT_TRUE(form->InListAlready(L"acct\\realm\\char"));
}

// Notifications arrive on the system's own time (under Wine, through the
// wineserver's inotify); a tick comes 5 s after the last, so each check
// allows the rescan a few seconds to see the change.
class WindowsRescan : public WindowsScan {
protected:
    WindowsRescan() {
        auto counting = std::make_unique<CountingFileSystem>(std::move(files));
        counter = counting.get();
        files = std::move(counting);
        folderChanges = &changes;
        makeForm();
    }

    // One rescan of the watcher; whether it walked.
    bool rescanWalked() {
        const int before = counter->listings;
        form->LoadfilesFromHardDriveIfChanged();
        return counter->listings > before;
    }
    static bool Eventually(const std::function<bool()>& condition) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!condition()) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            ::Sleep(20);
        }
        return true;
    }
    // Rescans until one finds nothing new to walk.
    bool settles() {
        return Eventually([&] { return !rescanWalked(); });
    }

    win32::Win32FolderChanges changes;
    CountingFileSystem* counter = nullptr;
};

TEST_F(WindowsRescan, NamesCreatedRenamedAndDeletedBelowTheAccountFolderAreSeenAtTheNextTick) {
    addSavedData("ACCT", "x");
    form->LoadfilesFromHardDrive();  // start-up
    EXPECT_TRUE(rescanWalked());     // the watch begins
    ASSERT_TRUE(settles());
    EXPECT_FALSE(rescanWalked());

    addSavedData("ACCT\\Realm\\New", "x");
    EXPECT_TRUE(Eventually([&] { return rescanWalked() && entries().size() == 2; }));
    EXPECT_EQ(entries(), (std::vector<std::wstring>{L"ACCT", L"ACCT\\Realm\\New"}));
    EXPECT_TRUE(window.items[1].checked);
    EXPECT_EQ(form->cursor().LastModified.at(1), 0);
    ASSERT_TRUE(settles());

    std::filesystem::rename(account() / "ACCT" / "Realm", account() / "ACCT" / "Moved");
    EXPECT_TRUE(Eventually([&] { return rescanWalked() && entries().size() == 3; }));
    EXPECT_EQ(entries().back(), L"ACCT\\Moved\\New");
    ASSERT_TRUE(settles());

    std::filesystem::remove_all(account() / "ACCT" / "Moved");
    EXPECT_TRUE(Eventually([&] { return rescanWalked(); }));
    EXPECT_EQ(entries().size(), 3u);  // entries stay when their folder goes
}

TEST_F(WindowsRescan, AnAccountFolderReplacedByAnotherIsWatchedInItsPlace) {
    addSavedData("ACCT", "x");
    form->LoadfilesFromHardDrive();
    rescanWalked();
    ASSERT_TRUE(settles());

    // A backup put back in place of the folder.
    std::filesystem::rename(account(), account().parent_path() / "Account.old");
    addSavedData("RESTORED", "x");
    EXPECT_TRUE(Eventually([&] {
        rescanWalked();
        return entries().size() == 2;
    }));
    ASSERT_TRUE(settles());
    addSavedData("RESTORED\\Realm\\Later", "x");
    EXPECT_TRUE(Eventually([&] { return rescanWalked() && entries().size() == 3; }));
}

}  // namespace
}  // namespace hb::test
