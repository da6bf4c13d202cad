#pragma once
// "OK" logs in by uploading the next checked entry's saved data; the site's
// answer tells whether the login and the address are good. "Log Out" stops
// the change watcher and makes the fields editable again.

#include "gamedata/ListCursor.h"
#include "gamedata/SavedDataFiles.h"
#include "net/Transfers.h"
#include "ports/MainWindow.h"
#include "ports/MessageBoxes.h"
#include "ports/MessageLog.h"
#include "settings/SettingsStore.h"

namespace hb {

class Login {
public:
    Login(MainWindow& window, MessageBoxes& boxes, MessageLog& log, SettingsStore& settings, ListCursor& cursor,
          SavedDataFiles& savedData, Transfers& transfers);

    // "OK": minimises when logged in already; otherwise checks the fields,
    // saves the settings and logs in. Returns whether the site accepted the login.
    bool Command1_Click();
    // "Log Out".
    void Command3_Click();

private:
    // The saved data of the next checked entry that can be read, moving the
    // cursor to it; nothing when none can (the box names the first).
    std::optional<std::string> nextReadableData();

    MainWindow& window_;
    MessageBoxes& boxes_;
    MessageLog& log_;
    SettingsStore& settings_;
    ListCursor& cursor_;
    SavedDataFiles& savedData_;
    Transfers& transfers_;
};

}  // namespace hb
