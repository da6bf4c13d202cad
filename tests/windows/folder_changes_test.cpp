// Change notifications for the account tree through the real Win32 calls
// (under Wine: inotify behind the wineserver).

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <filesystem>

#include "support/TempFolder.h"
#include "win32/Win32FileSystem.h"
#include "win32/Win32FolderChanges.h"

namespace hb::test {
namespace {

namespace fs = std::filesystem;

class Win32FolderChangesTest : public ::testing::Test {
protected:
    Win32FolderChangesTest() {
        temp.write("Account/ACCT/Realm/Char/SavedVariables/Other.lua", "x");
        watch = changes.watchTree(root());
        EXPECT_TRUE(watch);
        // As the program does: a walk right after the watch begins. Under
        // Wine that walk is also what extends the watch to the folders that
        // were there before it (the wineserver adds a folder to a watch of
        // its tree when the folder is opened).
        listEveryFolder(root());
    }
    void listEveryFolder(const std::wstring& folder) {
        for (const FolderEntry& entry : files.list(folder).entries) {
            if (entry.isFolder) listEveryFolder(folder + L"\\" + entry.name);
        }
    }
    std::wstring root() const { return temp.corePath("Account"); }
    fs::path account() const { return temp.path() / "Account"; }

    // The first state other than Unchanged within a few seconds (the system
    // delivers notifications on its own time), or Unchanged.
    TreeState nextNews() {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        do {
            TreeState state = watch->poll();
            if (state != TreeState::Unchanged) return state;
            ::Sleep(10);
        } while (std::chrono::steady_clock::now() < deadline);
        return TreeState::Unchanged;
    }
    bool becomesLost() {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (watch->poll() != TreeState::Lost) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            ::Sleep(10);
        }
        return true;
    }
    // Consumes the news of one change, which may come as more than one signal.
    void expectChangeSeen() {
        ASSERT_EQ(nextNews(), TreeState::Changed);
        while (watch->poll() == TreeState::Changed) {
        }
    }

    TempFolder temp;
    win32::Win32FileSystem files;
    win32::Win32FolderChanges changes;
    std::unique_ptr<TreeWatch> watch;
};

TEST_F(Win32FolderChangesTest, NamesCreatedRenamedAndDeletedDeepInTheTreeAreSignalled) {
    ASSERT_TRUE(watch);
    EXPECT_EQ(watch->poll(), TreeState::Unchanged);

    const fs::path saved = account() / "ACCT" / "Realm" / "Char" / "SavedVariables";
    temp.write("Account/ACCT/Realm/Char/SavedVariables/Hoardbook.lua", "x");
    expectChangeSeen();
    fs::rename(saved / "Hoardbook.lua", saved / "Hoardbook.lua.bak");
    expectChangeSeen();
    fs::remove(saved / "Hoardbook.lua.bak");
    expectChangeSeen();
    fs::rename(account() / "ACCT" / "Realm", account() / "ACCT" / "Moved");
    expectChangeSeen();

    // A folder made after the watch began is watched as well.
    fs::create_directories(account() / "NEW" / "SavedVariables");
    expectChangeSeen();
    temp.write("Account/NEW/SavedVariables/Hoardbook.lua", "x");
    expectChangeSeen();
    EXPECT_EQ(watch->poll(), TreeState::Unchanged);
}

TEST_F(Win32FolderChangesTest, OnlyAnExistingFolderCanBeWatched) {
    EXPECT_EQ(changes.watchTree(temp.corePath("Nowhere")), nullptr);
    temp.write("plain.txt", "x");
    EXPECT_EQ(changes.watchTree(temp.corePath("plain.txt")), nullptr);
}

TEST_F(Win32FolderChangesTest, AFolderRenamedAwayAndReplacedIsALostWatch) {
    ASSERT_TRUE(watch);
    fs::rename(account(), temp.path() / "Account.old");
    fs::create_directories(account() / "RESTORED");
    // Whatever the old folder's notification says meanwhile, the watch ends
    // up lost rather than quietly watching the old folder.
    EXPECT_TRUE(becomesLost());
    EXPECT_EQ(watch->poll(), TreeState::Lost);
}

TEST_F(Win32FolderChangesTest, AFolderDeletedWhileWatchedIsNeverQuiet) {
    ASSERT_TRUE(watch);
    fs::remove_all(account());
    // Windows (and Wine) finish deleting a folder when its last handle
    // closes, and the watch holds one: what the watch says first depends on
    // the system, but it must not say that nothing happened.
    EXPECT_NE(nextNews(), TreeState::Unchanged);
}

}  // namespace
}  // namespace hb::test
