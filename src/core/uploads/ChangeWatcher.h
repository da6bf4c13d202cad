#pragma once
// The change watcher: each UpdateTimer tick looks at one checked entry, in
// turn, and uploads its saved data again when the file's last-write time
// differs from the one recorded at its last successful upload.

#include <optional>
#include <set>
#include <string>

#include "gamedata/CharacterScan.h"
#include "gamedata/ListCursor.h"
#include "gamedata/SavedDataFiles.h"
#include "net/Transfers.h"
#include "ports/FileSystem.h"
#include "ports/MainWindow.h"
#include "ports/MessageLog.h"

namespace hb {

class ChangeWatcher {
public:
    ChangeWatcher(const MainWindow& window, FileSystem& files, MessageLog& log, ListCursor& cursor,
                  CharacterScan& scan, SavedDataFiles& savedData, Transfers& transfers);

    // One tick: scan, move to the next checked entry, upload it if changed.
    void UpdateTimer_Timer();
    // Whether a tick is running (its upload waits and lets further ticks in).
    bool busy() const { return busy_; }

private:
    // What a tick did to its entry, reported once the tick is no longer busy.
    struct Visit {
        std::int16_t index = -1;
        // Why the file could not be read, when it could not.
        std::optional<std::wstring> readError;
        FileTime time = 0;  // the file's last-write time when it was read
        UploadResult upload;
    };
    std::optional<Visit> visitNextEntry();
    void report(const Visit& visit);

    const MainWindow& window_;
    FileSystem& files_;
    MessageLog& log_;
    ListCursor& cursor_;
    CharacterScan& scan_;
    SavedDataFiles& savedData_;
    Transfers& transfers_;

    bool busy_ = false;
    bool siteOutageReported_ = false;
    std::set<int> unreadableEntriesReported_;  // entries whose read failure is logged
};

}  // namespace hb
