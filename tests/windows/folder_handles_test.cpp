// What the program holds open below the account folder between the
// watcher's ticks. On Windows a folder cannot be renamed while a handle is
// open on it or below it, so the Windows path must hold none; the probe is
// an open that shares nothing, which fails while any other handle is open.

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>

#include "gamedata/WalkSchedule.h"
#include "support/TempFolder.h"
#include "win32/FolderChangesChoice.h"
#include "win32/Win32FileSystem.h"
#include "win32/Win32Process.h"

namespace hb::test {
namespace {

class FolderHandles : public ::testing::Test {
protected:
    FolderHandles() { temp.write("Account/ACCT/Realm/Char/SavedVariables/Hoardbook.lua", "x"); }

    std::wstring root() const { return temp.corePath("Account"); }
    // Whether something else holds the folder open.
    bool heldOpen(const std::wstring& folder) const {
        HANDLE handle = ::CreateFileW(folder.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (handle == INVALID_HANDLE_VALUE) return ::GetLastError() == ERROR_SHARING_VIOLATION;
        ::CloseHandle(handle);
        return false;
    }
    // One tick's work on the tree: the walk when due, every file's stamp.
    void tick(WalkSchedule& schedule) {
        if (schedule.walkDue(root())) {
            walk(root());
            schedule.walked(true);
        }
        std::wstring error;
        EXPECT_TRUE(files.fileStamp(temp.corePath("Account/ACCT/Realm/Char/SavedVariables/Hoardbook.lua"), error));
    }
    void walk(const std::wstring& folder) {
        for (const FolderEntry& entry : files.list(folder).entries) {
            if (entry.isFolder) walk(folder + L"\\" + entry.name);
        }
    }

    TempFolder temp;
    win32::Win32FileSystem files;
    win32::Win32Process process;
    win32::Win32FolderChanges notifications;
    ScheduledWalks scheduled{process};
};

TEST_F(FolderHandles, TheProbeSeesTheHandleOfANotificationWatch) {
    // Under Wine too a watch is a directory handle: the probe can tell.
    WalkSchedule schedule(&win32::FolderChangesFor(true, notifications, scheduled));
    tick(schedule);
    EXPECT_TRUE(heldOpen(root()));
}

TEST_F(FolderHandles, TheWindowsPathHoldsNoHandleBetweenTicks) {
    WalkSchedule schedule(&win32::FolderChangesFor(false, notifications, scheduled));
    for (int i = 0; i < 3; ++i) {
        tick(schedule);
        EXPECT_FALSE(heldOpen(root())) << "after tick " << i;
        EXPECT_FALSE(heldOpen(temp.corePath("Account/ACCT"))) << "after tick " << i;
    }
    // And the account folder can be renamed, as the player's support advice asks.
    EXPECT_TRUE(::MoveFileW(root().c_str(), temp.corePath("Account.old").c_str()));
}

TEST_F(FolderHandles, AStoppedWatchHoldsNothing) {
    // Log Out ends the watch under Wine as well.
    WalkSchedule schedule(&win32::FolderChangesFor(true, notifications, scheduled));
    tick(schedule);
    schedule.stop();
    EXPECT_FALSE(heldOpen(root()));
}

}  // namespace
}  // namespace hb::test
