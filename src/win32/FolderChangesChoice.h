#pragma once
// Which change notifications the character scan uses. On Windows a watch
// is a directory handle, and a handle open below WTF keeps the player from
// renaming or moving WTF, the account folder or the game folder: there the
// scan walks on a schedule and holds nothing between ticks. Under Wine the
// notifications are inotify behind the wineserver, which blocks no rename,
// and spare the walks that cost a wineserver round trip per folder entry.

#include "gamedata/ScheduledWalks.h"
#include "win32/Win32FolderChanges.h"

namespace hb::win32 {

inline FolderChanges& FolderChangesFor(bool underWine, Win32FolderChanges& notifications, ScheduledWalks& scheduled) {
    if (underWine) return notifications;
    return scheduled;
}

}  // namespace hb::win32
