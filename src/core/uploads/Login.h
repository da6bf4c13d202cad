#pragma once
// "OK" logs in by uploading the next checked entry's saved data; the site's
// answer tells whether the login and the address are good, and an accepted
// login makes the session the uploads go on with. "Log Out" ends the
// session: the change watcher stops and the fields are editable again.
//
// One login at a time: its wait lets clicks and timers run, and a press of
// OK (or Enter) meanwhile does nothing; Log Out ends the wait. The login
// start-up makes from remembered settings waits for the network: while the
// site gives no answer (Wi-Fi still connecting at logon, the site down) it
// is tried again with back-off for up to 10 minutes, with one log line per
// try and one box at most.

#include <cstdint>
#include <optional>
#include <string>

#include "base/Backoff.h"
#include "gamedata/EntryList.h"
#include "gamedata/ListCursor.h"
#include "gamedata/SavedDataFiles.h"
#include "net/Transfers.h"
#include "ports/MainWindow.h"
#include "ports/MessageBoxes.h"
#include "ports/MessageLog.h"
#include "ports/Process.h"
#include "settings/SettingsStore.h"
#include "uploads/Session.h"

namespace hb {

// How long start-up's automatic login keeps trying while the site does not
// answer, and its delays: short, so the login follows the network soon.
inline constexpr std::int64_t kAutomaticLoginPatienceMs = 10 * 60 * 1000;
inline constexpr std::int64_t kAutomaticLoginFirstDelayMs = 5000;
inline constexpr std::int64_t kAutomaticLoginLongestDelayMs = 30000;

class Login {
public:
    Login(MainWindow& window, MessageBoxes& boxes, MessageLog& log, SettingsStore& settings, CurrentSession& session,
          const EntryList& entries, ListCursor& cursor, SavedDataFiles& savedData, Transfers& transfers,
          const Process& process);

    // "OK": minimises when logged in already; otherwise checks the fields,
    // saves the settings and logs in. Returns whether the site accepted the
    // login. Does nothing while a login waits for the site.
    bool Command1_Click();
    // "Log Out"; also ends a login that waits, and the automatic login's tries.
    void Command3_Click();

    // Start-up's login from remembered settings. Returns whether the site
    // accepted it; without an answer it is tried again by Timer1_Timer.
    bool automaticLogin();
    // Timer1's tick: the automatic login's next try when one is due.
    // Returns whether it was accepted.
    bool Timer1_Timer();
    // Whether the automatic login is waiting to try again.
    bool automaticLoginPending() const { return automaticPending_; }
    // Whether a login waits for the site.
    bool waiting() const { return waiting_; }
    // Whether logged in: a session is there.
    bool loggedIn() const { return session_.has_value(); }

private:
    enum class Mode { ByUser, Automatic };
    bool attempt(Mode mode);
    // The automatic login got no answer: schedules the next try, or gives up.
    void automaticTryFailed(const UploadResult& upload);
    void stopAutomaticLogin();
    // The window as the session and the login's state have it: the fields
    // and OK while logged out, Log Out while logged in or while it can end
    // a login that waits or tries again, the watcher's timer while logged in.
    void showState();
    // The saved data of the next checked entry that can be read, moving the
    // cursor to it; nothing when none can (the box names the first).
    std::optional<std::string> nextReadableData();

    MainWindow& window_;
    MessageBoxes& boxes_;
    MessageLog& log_;
    SettingsStore& settings_;
    CurrentSession& session_;
    const EntryList& entries_;
    ListCursor& cursor_;
    SavedDataFiles& savedData_;
    Transfers& transfers_;
    const Process& process_;

    bool waiting_ = false;
    bool cancelled_ = false;  // Log Out pressed while the login waits
    bool automaticPending_ = false;
    std::int64_t automaticSinceMs_ = 0;
    Backoff automaticBackoff_{kAutomaticLoginFirstDelayMs, kAutomaticLoginLongestDelayMs};
};

}  // namespace hb
