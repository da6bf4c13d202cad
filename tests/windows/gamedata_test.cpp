// The character scan over the Win32 file system: hidden and system folders
// and files are not walked, saved data is read with its line ends, folder
// links (Unix symbolic links under Wine) neither loop nor lead the walk out
// above the account folder, and the watcher's rescan walks when the
// system's change notifications say so.

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <functional>
#include <set>
#include <string>

#include "support/FormFixture.h"
#include "win32/Handles.h"
#include "win32/Win32FolderChanges.h"

namespace hb::test {
namespace {

bool UnderWine() { return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr; }

// Makes a folder link at `at` to the relative target, as a player would:
// under Wine a real Unix symbolic link (made by the host's ln, which Wine
// starts like any program), on Windows a symbolic link. False where the
// system lets us make neither.
bool MakeFolderLink(const std::filesystem::path& at, const std::wstring& windowsTarget, const std::string& unixTarget) {
    if (!UnderWine()) {
        return ::CreateSymbolicLinkW(at.wstring().c_str(), windowsTarget.c_str(),
                                     SYMBOLIC_LINK_FLAG_DIRECTORY | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) != 0;
    }
    using UnixName = char*(CDECL*)(const wchar_t*);
    auto unixName = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (unixName == nullptr) return false;
    char* name = unixName(at.wstring().c_str());
    if (name == nullptr) return false;
    std::string linkPath = name;
    ::HeapFree(::GetProcessHeap(), 0, name);
    std::wstring command = L"ln -s \"" + std::wstring(unixTarget.begin(), unixTarget.end()) + L"\" \"" +
                           std::wstring(linkPath.begin(), linkPath.end()) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(L"Z:\\bin\\ln", command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                          &startup, &process)) {
        return false;
    }
    win32::UniqueFile processHandle(process.hProcess);
    win32::UniqueFile threadHandle(process.hThread);
    // Wine neither waits for a Unix program nor passes its exit code on: the
    // link itself tells, once it appears.
    for (int attempt = 0; attempt < 200; ++attempt) {
        if (::GetFileAttributesW(at.wstring().c_str()) != INVALID_FILE_ATTRIBUTES) return true;
        ::WaitForSingleObject(process.hProcess, 50);
    }
    return false;
}

class WindowsScan : public FormFixture {
protected:
    WindowsScan() { installGame(); }
    void setAttributes(const std::filesystem::path& path, DWORD attributes) {
        ASSERT_TRUE(::SetFileAttributesW(path.wstring().c_str(), attributes));
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
    form->scan().LoadfilesFromHardDrive();
    EXPECT_EQ(entries(), std::vector<std::wstring>{L"SHOWN"});
}

TEST_F(WindowsScan, EntriesAndSavedDataRoundTripThroughWindowsPaths) {
    addSavedData("ACCT\\Realm\\Char", "one\ntwo\r");
    form->scan().LoadfilesFromHardDrive();
    ASSERT_EQ(entries(), std::vector<std::wstring>{L"ACCT\\Realm\\Char"});
    EXPECT_EQ(form->savedData().LoadDataFromHardDrive(form->entries().at(0)), "one\ntwo\r\n");
    // The same folder in other case is the same entry on Windows.
    EXPECT_TRUE(form->scan().InListAlready(L"acct\\realm\\char"));
}

TEST_F(WindowsScan, AFolderDeeperThanAPathOfOldCanHoldIsWalkedReadAndWatched) {
    // Made through the port itself: its writes need the long form too.
    std::wstring entry = L"ACCT";
    std::wstring folder = form->folders().GetAccountDir() + L"\\ACCT";
    std::wstring error;
    std::filesystem::create_directories(account());
    ASSERT_TRUE(files->createFolder(folder, error));
    for (int level = 0; folder.size() < 320; ++level) {
        const std::wstring part = L"Realm or character folder " + std::to_wstring(level);
        entry += L"\\" + part;
        folder += L"\\" + part;
        ASSERT_TRUE(files->createFolder(folder, error)) << level;
    }
    ASSERT_TRUE(files->createFolder(folder + L"\\SavedVariables", error));
    const std::wstring file = folder + L"\\SavedVariables\\Hoardbook.lua";
    ASSERT_GT(file.size(), static_cast<std::size_t>(MAX_PATH));
    ASSERT_TRUE(files->writeAll(file, "deep\r\n", error));

    form->scan().LoadfilesFromHardDrive();

    EXPECT_EQ(entries(), std::vector<std::wstring>{entry});
    EXPECT_EQ(form->savedData().LoadDataFromHardDrive(form->entries().at(0)), "deep\r\n");
    EXPECT_TRUE(files->lastWriteTime(file, error).has_value()) << "the watcher's change stamp";
    EXPECT_TRUE(files->replaceAtomically(file, "deeper\r\n", error));
    EXPECT_EQ(form->savedData().LoadDataFromHardDrive(form->entries().at(0)), "deeper\r\n");
}

TEST_F(WindowsScan, FolderLinksNeitherLoopNorLeadAboveTheAccountFolder) {
    addSavedData("ALPHA", "x");
    addSavedData("ALPHA\\Realm One\\Char", "x");
    // The add-on itself, which a walk of the whole game folder would take
    // for a character's saved data.
    temp.write(std::filesystem::path("Game") / "Interface" / "AddOns" / "Hoardbook" / "SavedVariables" /
                   "Hoardbook.lua",
               "x");
    const std::filesystem::path realm = account() / "ALPHA" / "Realm One";
    // Back to the account folder: followed, 160 phantom entries, walked every tick.
    if (!MakeFolderLink(realm / "loop", L"..\\..", "../..")) GTEST_SKIP() << "no folder links can be made here";
    ASSERT_TRUE(MakeFolderLink(realm / "game", L"..\\..\\..\\..", "../../../.."));

    form->scan().LoadfilesFromHardDrive();
    form->scan().LoadfilesFromHardDrive();  // the watcher walks again at every tick

    std::vector<std::wstring> texts = entries();
    EXPECT_EQ(std::set<std::wstring>(texts.begin(), texts.end()),
              (std::set<std::wstring>{L"ALPHA", L"ALPHA\\Realm One\\Char"}));
    EXPECT_EQ(texts.size(), 2u);
    EXPECT_TRUE(window.texts[Control::Data].empty()) << "nothing to report: the walk simply did not enter them";
}

// Notifications arrive on the system's own time (under Wine, through the
// wineserver's inotify); a tick comes 5 s after the last, so each check
// allows the rescan a few seconds to see the change.
class WindowsRescan : public WindowsScan {
protected:
    WindowsRescan() {
        use(changes);
        makeForm();
    }

    // One rescan of the watcher; whether it walked.
    bool rescanWalked() {
        const int before = counter->listings;
        form->scan().LoadfilesFromHardDriveIfChanged();
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
};

TEST_F(WindowsRescan, NamesCreatedRenamedAndDeletedBelowTheAccountFolderAreSeenAtTheNextTick) {
    addSavedData("ACCT", "x");
    form->scan().LoadfilesFromHardDrive();  // start-up
    EXPECT_TRUE(rescanWalked());     // the watch begins
    ASSERT_TRUE(settles());
    EXPECT_FALSE(rescanWalked());

    addSavedData("ACCT\\Realm\\New", "x");
    EXPECT_TRUE(Eventually([&] { return rescanWalked() && entries().size() == 2; }));
    EXPECT_EQ(entries(), (std::vector<std::wstring>{L"ACCT", L"ACCT\\Realm\\New"}));
    EXPECT_TRUE(window.items[1].checked);
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
    form->scan().LoadfilesFromHardDrive();
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
