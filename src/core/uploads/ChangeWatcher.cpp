#include "uploads/ChangeWatcher.h"

#include <algorithm>
#include <string>

#include "base/ScopedValue.h"
#include "net/HttpWait.h"
#include "uploads/SiteLogin.h"
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
                             const Process& process, ListCursor& cursor, CharacterScan& scan,
                             SavedDataFiles& savedData, Transfers& transfers, SettingsStore& settings)
    : window_(window), files_(files), boxes_(boxes), log_(log), process_(process), cursor_(cursor), scan_(scan),
      savedData_(savedData), transfers_(transfers), settings_(settings) {}

bool ChangeWatcher::retryDue() const { return process_.monotonicMs() - lastRejectionMs_ >= kRejectedLoginRetryMs; }

void ChangeWatcher::UpdateTimer_Timer() {
    // The upload's wait lets further ticks run; a nested tick would send the
    // same file again and interleave the stamps.
    if (busy_) return;
    std::optional<Visit> visit;
    {
        ScopedValue busy(busy_, true);
        visit = visitNextEntry();
    }
    if (visit) report(*visit);
}

std::optional<ChangeWatcher::Visit> ChangeWatcher::visitNextEntry() {
    scan_.LoadfilesFromHardDriveIfChanged();
    const std::int16_t i = cursor_.next(window_);
    if (i < 0) return std::nullopt;

    // With every entry unchecked the cursor stays on the last one handled;
    // an unchecked entry is never sent (its data would read as empty).
    if (i >= window_.itemCount() || !window_.itemChecked(i)) return std::nullopt;

    const auto slot = static_cast<std::size_t>(i);
    std::vector<FileTime>& stamps = cursor_.LastModified;
    if (stamps.size() <= slot) stamps.resize(slot + 1, 0);

    // A file that vanished or is locked between the scan and the read is
    // skipped for this tick and tried again at its next visit.
    Visit visit;
    visit.index = i;
    std::wstring error;
    const std::optional<FileTime> time = files_.lastWriteTime(savedData_.SavedDataFileOf(i), error);
    if (!time) {
        visit.readError = error;
        return visit;
    }
    if (stamps[slot] == *time) return std::nullopt;
    if (loginRejected_ && !retryDue()) return std::nullopt;
    // A failed entry waits for its turn; the others go on meanwhile.
    const std::int64_t now = process_.monotonicMs();
    if (now < siteQuietUntilMs_) return std::nullopt;
    if (auto streak = streaks_.find(i); streak != streaks_.end() && !streak->second.backoff.due(now)) {
        return std::nullopt;
    }

    std::optional<std::string> data = savedData_.tryLoad(i, error);
    if (!data) {
        visit.readError = error;
        return visit;
    }
    visit.time = *time;

    // The box and the log come after the tick (report).
    visit.upload = transfers_.send(SiteLoginOf(window_), *data);
    if (OutcomeOf(visit.upload) != UploadOutcome::Accepted) visit.data = std::move(*data);
    return visit;
}

void ChangeWatcher::report(const Visit& visit) {
    const int i = visit.index;
    const std::wstring profile = L"Profile for " + window_.itemText(i);
    if (visit.readError) {
        // Logged once until the file can be read again.
        if (unreadableEntriesReported_.insert(i).second) {
            log_.add(profile + L" could not be read and will be tried again: " + *visit.readError);
        }
        return;
    }
    unreadableEntriesReported_.erase(i);

    const UploadResult& upload = visit.upload;
    // Any answer shows the site is there: an outage is over.
    if (upload.status != 0) siteOutageReported_ = false;
    switch (OutcomeOf(upload)) {
        case UploadOutcome::Accepted:
            AdoptSiteMove(window_, settings_, log_, upload.movedTo);
            streaks_.erase(i);
            if (loginRejected_) {
                loginRejected_ = false;
                log_.add(L"The website accepted the login again; uploads go on");
            }
            log_.add(profile + L" changed and was uploaded");
            cursor_.LastModified[static_cast<std::size_t>(i)] = visit.time;
            return;
        case UploadOutcome::RejectedLogin:
            AdoptSiteMove(window_, settings_, log_, upload.movedTo);
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

void ChangeWatcher::reportFailure(const Visit& visit, const std::wstring& profile) {
    const int i = visit.index;
    const UploadResult& upload = visit.upload;
    const std::int64_t now = process_.monotonicMs();
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
