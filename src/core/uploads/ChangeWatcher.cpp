#include "uploads/ChangeWatcher.h"

#include <algorithm>
#include <string>

#include "base/ScopedValue.h"
#include "gamedata/EntryText.h"
#include "net/HttpWait.h"
#include "uploads/SiteMove.h"
#include "uploads/UploadReplies.h"

namespace hb {

namespace {

// A reply quoted in the log: one line, and short, since a wrong address may
// answer with a whole web page.
std::wstring QuotedReply(std::wstring reply) {
    constexpr std::size_t kMaxQuoted = 100;
    for (auto& c : reply) {
        if (c == L'\r' || c == L'\n') c = L' ';
    }
    if (reply.size() > kMaxQuoted) reply = reply.substr(0, kMaxQuoted) + L"...";
    return L"\"" + reply + L"\"";
}

}  // namespace

ChangeWatcher::ChangeWatcher(MainWindow& window, FileSystem& files, MessageBoxes& boxes, MessageLog& log,
                             const Process& process, CurrentSession& session, EntryList& entries,
                             ListCursor& cursor, CharacterScan& scan, SavedDataFiles& savedData,
                             Transfers& transfers, SettingsStore& settings)
    : window_(window), files_(files), boxes_(boxes), log_(log), process_(process), session_(session),
      entries_(entries), cursor_(cursor), scan_(scan), savedData_(savedData), transfers_(transfers),
      settings_(settings) {}

bool ChangeWatcher::retryDue() const { return process_.monotonicMs() - lastRejectionMs_ >= kRejectedLoginRetryMs; }

void ChangeWatcher::UpdateTimer_Timer() {
    // The upload's wait lets further ticks run; a nested tick would send the
    // same file again and interleave the stamps.
    if (busy_ || !session_) return;
    std::optional<Visit> visit;
    {
        ScopedValue busy(busy_, true);
        visit = visitNextEntry();
    }
    if (visit) report(*visit);
}

std::optional<ChangeWatcher::Visit> ChangeWatcher::visitNextEntry() {
    scan_.LoadfilesFromHardDriveIfChanged();
    queueChangedEntries();
    if (queue_.empty()) return std::nullopt;
    if (loginRejected_ && !retryDue()) return std::nullopt;
    const std::int64_t now = process_.monotonicMs();
    if (now < siteQuietUntilMs_) return std::nullopt;

    // The first queued entry that may go; a failed one waits for its turn
    // and one still being written waits to settle, while the others go on.
    const std::vector<Entry> queued = queue_;
    for (const Entry i : queued) {
        if (auto streak = streaks_.find(i); streak != streaks_.end() && !streak->second.backoff.due(now)) continue;
        Pending& pending = pending_.at(i);
        const bool overdue = pending.unsettledSinceMs && now - *pending.unsettledSinceMs >= kUnsettledLimitMs;
        if (!overdue && !settled(pending, now)) {
            if (!pending.unsettledSinceMs) pending.unsettledSinceMs = now;
            continue;
        }
        std::optional<Visit> visit = sendIfWhole(i, pending, now);
        if (visit) return visit;
    }
    return std::nullopt;
}

void ChangeWatcher::queueChangedEntries() {
    if (entries_.count() <= 0) return;
    // The game's folder once per tick: it is read from the registry.
    const std::wstring installFolder = savedData_.InstallFolder();
    const std::int64_t now = process_.monotonicMs();
    // From the entry after the cursor, so changes seen together are sent in
    // the round robin's order, as before: after start-up, every entry in turn.
    for (const Entry i : cursor_.fromNext()) {
        if (!entries_.checked(i)) {
            forget(i);
            continue;
        }
        std::wstring error;
        const std::optional<FileStamp> stamp =
            files_.fileStamp(savedData_.SavedDataFileIn(installFolder, entries_.text(i)), error);
        if (!stamp) {
            // Vanished or locked: looked at again next tick.
            forget(i);
            noteUnreadable(i, ReadStep::Stamp, error);
            continue;
        }
        noteReadable(i, ReadStep::Stamp);
        if (sentAsItIs(i, *stamp)) {
            forget(i);
            continue;
        }
        auto [entry, added] = pending_.try_emplace(i);
        Pending& pending = entry->second;
        if (added) {
            pending.seen = *stamp;
            pending.seenSinceMs = now;
            queue_.push_back(i);
        } else if (pending.seen != *stamp) {
            pending.seen = *stamp;
            pending.seenSinceMs = now;
        }
    }
}

bool ChangeWatcher::sentAsItIs(Entry entry, const FileStamp& stamp) const {
    return entries_.LastModified(entry) == stamp;
}

bool ChangeWatcher::settled(const Pending& pending, std::int64_t now) const {
    // Written long enough ago, or looked the same long enough (a file time
    // ahead of the system's clock settles so).
    constexpr std::int64_t kFileTimeUnitsPerMs = 10000;
    return process_.systemTimeAsFileTime() - pending.seen.time >= kSettledAfterMs * kFileTimeUnitsPerMs ||
           now - pending.seenSinceMs >= kSettledAfterMs;
}

std::optional<ChangeWatcher::Visit> ChangeWatcher::sendIfWhole(Entry entry, Pending& pending, std::int64_t now) {
    Visit visit;
    visit.entry = entry;
    cursor_.handled(entry);
    std::wstring error;
    std::optional<std::string> data = savedData_.tryLoad(entry, error);
    if (!data) {
        visit.readError = error;
        return visit;
    }
    // The stamp taken this tick, before the read, must still hold after it:
    // otherwise the game wrote meanwhile and the bytes may be torn.
    const FileStamp before = pending.seen;
    const std::optional<FileStamp> after = files_.fileStamp(savedData_.SavedDataFileOf(entry), error);
    const bool whole = after && *after == before;
    if (!whole) {
        if (after) {
            pending.seen = *after;
            pending.seenSinceMs = now;
        }
        if (!pending.unsettledSinceMs) pending.unsettledSinceMs = now;
        if (now - *pending.unsettledSinceMs < kUnsettledLimitMs) return std::nullopt;
    }
    if (pending.unsettledSinceMs && now - *pending.unsettledSinceMs >= kUnsettledLimitMs) {
        log_.add(L"Profile for " + entries_.text(entry) + L" kept changing for " +
                 std::to_wstring(kUnsettledLimitMs / 1000) + L" seconds and is sent as it was read");
    }
    visit.stamp = before;

    // The box and the log come after the tick (report).
    // A copy: Log Out may end the session while the upload waits.
    visit.site = session_->site;
    visit.upload = transfers_.send(visit.site, *data);
    if (OutcomeOf(visit.upload) != UploadOutcome::Accepted) visit.data = std::move(*data);
    return visit;
}

void ChangeWatcher::forget(Entry entry) {
    if (pending_.erase(entry) == 0) return;
    queue_.erase(std::remove(queue_.begin(), queue_.end(), entry), queue_.end());
}

void ChangeWatcher::noteUnreadable(Entry entry, ReadStep step, const std::wstring& error) {
    // Logged once until that look succeeds again: a file whose stamp reads
    // while the game holds it locked must not log a line every tick.
    auto [reported, added] = unreadableReported_.try_emplace(entry, step);
    if (!added && reported->second == step) return;
    reported->second = step;
    log_.add(L"Profile for " + entries_.text(entry) + L" could not be read and will be tried again: " + error);
}

void ChangeWatcher::noteReadable(Entry entry, ReadStep step) {
    auto reported = unreadableReported_.find(entry);
    if (reported != unreadableReported_.end() && reported->second == step) unreadableReported_.erase(reported);
}

void ChangeWatcher::report(const Visit& visit) {
    const Entry i = visit.entry;
    const std::wstring profile = L"Profile for " + entries_.text(i);
    if (visit.readError) {
        noteUnreadable(i, ReadStep::Content, *visit.readError);
        return;
    }
    noteReadable(i, ReadStep::Content);

    const UploadResult& upload = visit.upload;
    // Logged out and in again during the upload's wait, with another
    // address or login: what the site said of the old one (a rejection, a
    // move) is no news of the session now.
    const bool stale = session_ && session_->site != visit.site;
    // Any answer shows the site is there: an outage is over.
    if (upload.status != 0) siteOutageReported_ = false;
    switch (OutcomeOf(upload)) {
        case UploadOutcome::Accepted:
            if (!stale) adoptSiteMove(upload.movedTo);
            streaks_.erase(i);
            if (loginRejected_) {
                loginRejected_ = false;
                log_.add(L"The website accepted the login again; uploads go on");
            }
            log_.add(profile + L" changed and was uploaded");
            entries_.uploaded(i, visit.stamp);
            // A change during the upload is queued afresh at the next tick.
            forget(i);
            return;
        case UploadOutcome::RejectedLogin:
            if (stale) return;
            adoptSiteMove(upload.movedTo);
            lastRejectionMs_ = process_.monotonicMs();
            if (loginRejected_) return;  // a retry: said already
            loginRejected_ = true;
            log_.add(profile + L" was not uploaded: the website rejected the login. Nothing is sent until you log in "
                               L"again; the login is tried again every 10 minutes");
            boxes_.show({L"The website rejected the login, so uploads are paused. Log out, enter the login and "
                         L"password that the website accepts and press OK. Until then the program tries again every "
                         L"10 minutes."});
            return;
        default:
            reportFailure(visit, profile);
            return;
    }
}

void ChangeWatcher::adoptSiteMove(const std::wstring& movedTo) {
    // Logged out during the upload: the window and the file still follow.
    if (session_) session_->moved(movedTo);
    AdoptSiteMove(window_, settings_, log_, movedTo);
}

void ChangeWatcher::reportFailure(const Visit& visit, const std::wstring& profile) {
    const Entry i = visit.entry;
    const UploadResult& upload = visit.upload;
    const std::int64_t now = process_.monotonicMs();
    // Its retry must settle again: the bound on waiting counts from then.
    if (auto pending = pending_.find(i); pending != pending_.end()) pending->second.unsettledSinceMs.reset();
    Streak& streak = streaks_[i];
    const bool first = streak.backoff.failures() == 0;
    // A site that asks for a pause gets it, from every entry.
    if (upload.retryAfterMs) siteQuietUntilMs_ = now + std::min(*upload.retryAfterMs, kFailedUploadLongestDelayMs);
    const std::int64_t delay = streak.backoff.fail(now, upload.retryAfterMs.value_or(0));

    const std::wstring why = upload.status == 0 ? L"the website did not answer"
                             : !upload.answered ? L"the website answered with HTTP status " + std::to_wstring(upload.status)
                                                : L"the website answered " + QuotedReply(upload.reply);
    if (!first) {
        // The streak's first entry holds the data; each retry is one line.
        log_.add(profile + L" could not be uploaded again (" + std::to_wstring(streak.backoff.failures()) +
                 L" times in a row): " + why + L". Next try in " + DeadlineText(delay));
    } else if (upload.answered) {
        log_.add(profile + L" was not uploaded: " + why + L". It will be sent again");
    } else {
        transfers_.reportFailedUpload(upload, visit.data, FailureReport::LogOnly);
        log_.add(profile + L" could not be uploaded: " + why + L". It will be sent again");
    }

    // One box per streak: while the site does not answer, one for the whole
    // outage. Set before the box: ticks go on while it is open. An unknown
    // text with a success status is only logged, as it always was.
    if (upload.answered) return;
    if (upload.status == 0) {
        if (siteOutageReported_) return;
        siteOutageReported_ = true;
    } else if (streak.boxed) {
        return;
    }
    streak.boxed = true;
    boxes_.show({upload.failure});
}

}  // namespace hb
