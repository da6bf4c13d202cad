#pragma once
// The change watcher: each UpdateTimer tick looks at the file of every
// checked entry (its last-write time and size, no read) and queues those
// that differ from what was last uploaded, in the order the changes were
// seen; then it uploads the first queued entry that may go. Still at most
// one upload per tick, so the site's load is as it was, but a change no
// longer waits for a round robin over every character.
//
// Only whole files are sent: a file goes once it has settled (written at
// least kSettledAfterMs ago, or seen unchanged that long) and reads the
// same size and time before and after the read. The game writes its saved
// data in pieces; a file caught in between would reach the site torn. A file
// that never settles is sent anyway once it has waited kUnsettledLimitMs,
// and that is logged.
//
// Failures reach the user once: the first failed upload of an outage shows
// a box, the rest go to the log. The box is shown after the tick, never
// while it is busy, so the uploads go on while it stays open (it may sit
// behind the game). A login the site rejects (the password was changed on
// the website) is said once too, and pauses the uploads: sending the same
// files again and again with a login that cannot work would fill the log
// and bother the site. They go on when the user logs in again, or when a
// retry, one every kRejectedLoginRetryMs, is accepted.
//
// A failed upload is not sent again at once: its entry backs off (5 s,
// doubling to 10 minutes) while the other entries go on, and a site that
// asks for a pause (Retry-After) gets it. The first failure of an entry's
// streak is logged in full, later ones in one line each; the user gets at
// most one box per streak (per outage while the site does not answer).

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/Backoff.h"
#include "gamedata/CharacterScan.h"
#include "gamedata/EntryList.h"
#include "gamedata/ListCursor.h"
#include "gamedata/SavedDataFiles.h"
#include "net/Transfers.h"
#include "ports/FileSystem.h"
#include "ports/MainWindow.h"
#include "ports/MessageBoxes.h"
#include "ports/MessageLog.h"
#include "ports/Process.h"
#include "settings/SettingsStore.h"
#include "uploads/Session.h"

namespace hb {

// How often the watcher tries an upload while the site rejects the login.
inline constexpr std::int64_t kRejectedLoginRetryMs = 10 * 60 * 1000;
// How long a failed entry waits before it is sent again: the first delay,
// doubled after each failure in a row, up to the longest.
inline constexpr std::int64_t kFailedUploadFirstDelayMs = 5000;
inline constexpr std::int64_t kFailedUploadLongestDelayMs = 10 * 60 * 1000;
// How long a file must be left alone before it counts as written whole.
inline constexpr std::int64_t kSettledAfterMs = 2000;
// How long a changed file waits to settle before it is sent as it is.
inline constexpr std::int64_t kUnsettledLimitMs = 30 * 1000;

class ChangeWatcher {
public:
    ChangeWatcher(MainWindow& window, FileSystem& files, MessageBoxes& boxes, MessageLog& log,
                  const Process& process, CurrentSession& session, EntryList& entries, ListCursor& cursor,
                  CharacterScan& scan, SavedDataFiles& savedData, Transfers& transfers, SettingsStore& settings);

    // One tick while logged in: scan, queue the entries whose files
    // changed, upload the first that may go. Without a session it does
    // nothing: the uploads go with the session's login.
    void UpdateTimer_Timer();
    // Whether a tick is running (its upload waits and lets further ticks in).
    bool busy() const { return busy_; }
    // The user logged in (again): the site accepts the login.
    void loginAccepted() {
        loginRejected_ = false;
        streaks_.clear();
        siteQuietUntilMs_ = 0;
    }
    // Whether uploads are paused because the site rejected the login.
    bool loginRejected() const { return loginRejected_; }

private:
    // What a tick did to its entry, reported once the tick is no longer busy.
    struct Visit {
        Entry entry{-1};
        // Why the file could not be read, when it could not.
        std::optional<std::wstring> readError;
        FileStamp stamp;  // the file's last-write time and size when it was read
        UploadResult upload;
        std::string data;  // what was sent, for the log of a failure
        SiteLogin site;    // where and as whom it was sent
    };
    // An entry's failures in a row and whether the user was told of them.
    struct Streak {
        Backoff backoff{kFailedUploadFirstDelayMs, kFailedUploadLongestDelayMs};
        bool boxed = false;
    };
    // A changed entry waiting to be sent: what its file looked like when
    // last looked at and since when it looked so.
    struct Pending {
        FileStamp seen;
        std::int64_t seenSinceMs = 0;
        // Since when it could have gone but for settling; sent as it is
        // kUnsettledLimitMs later.
        std::optional<std::int64_t> unsettledSinceMs;
    };
    std::optional<Visit> visitNextEntry();
    // Looks at every checked entry's file and queues those that changed.
    void queueChangedEntries();
    // Whether the entry's file looks as it did at its last upload.
    bool sentAsItIs(Entry entry, const FileStamp& stamp) const;
    bool settled(const Pending& pending, std::int64_t now) const;
    // Reads the queued entry and sends it when it is whole (or waited too long).
    std::optional<Visit> sendIfWhole(Entry entry, Pending& pending, std::int64_t now);
    void forget(Entry entry);
    // Which look at an entry's file failed: its stamp (gone, or its folder
    // locked) or its content (the file held locked while its stamp reads).
    enum class ReadStep { Stamp, Content };
    void noteUnreadable(Entry entry, ReadStep step, const std::wstring& error);
    // The look succeeded: the next failure of it is told again.
    void noteReadable(Entry entry, ReadStep step);
    void report(const Visit& visit);
    // The site took the upload at its new address: the session and the
    // window use it from now on.
    void adoptSiteMove(const std::wstring& movedTo);
    void reportFailure(const Visit& visit, const std::wstring& profile);

    // While the login is rejected, whether a retry is due.
    bool retryDue() const;

    MainWindow& window_;
    FileSystem& files_;
    MessageBoxes& boxes_;
    MessageLog& log_;
    const Process& process_;
    CurrentSession& session_;
    EntryList& entries_;
    ListCursor& cursor_;
    CharacterScan& scan_;
    SavedDataFiles& savedData_;
    Transfers& transfers_;
    SettingsStore& settings_;

    bool busy_ = false;
    bool siteOutageReported_ = false;
    bool loginRejected_ = false;
    std::int64_t lastRejectionMs_ = 0;  // when the site last rejected the login
    std::map<Entry, ReadStep> unreadableReported_;  // entries whose read failure is logged, by the look that failed
    std::map<Entry, Streak> streaks_;            // entries whose last upload failed
    std::int64_t siteQuietUntilMs_ = 0;          // no upload before this (the site's Retry-After)
    std::vector<Entry> queue_;                   // changed entries, in the order the changes were seen
    std::map<Entry, Pending> pending_;           // the queued entries' state
};

}  // namespace hb
