#include "uploads/ChangeWatcher.h"

#include <string>

#include "base/ScopedValue.h"
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

    std::optional<std::string> data = savedData_.tryLoad(i, error);
    if (!data) {
        visit.readError = error;
        return visit;
    }
    visit.time = *time;

    // The box, if any, comes after the tick (report); the upload logs each failure.
    visit.upload = transfers_.upload(SiteLoginOf(window_), *data, FailureReport::LogOnly);
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
    if (!upload.answered) {
        log_.add(profile + L" could not be uploaded: " +
                 (upload.status == 0 ? L"the website did not answer"
                                     : L"the website answered with HTTP status " + std::to_wstring(upload.status)) +
                 L". It will be sent again");
        // While the site stays down the user gets one message box, not one
        // every few seconds. Set before the box: ticks go on while it is open.
        if (!siteOutageReported_) {
            siteOutageReported_ = true;
            boxes_.show({upload.failure});
        }
        return;
    }
    siteOutageReported_ = false;
    AdoptSiteMove(window_, settings_, log_, upload.movedTo);
    if (upload.reply == kReplyUploaded) {
        if (loginRejected_) {
            loginRejected_ = false;
            log_.add(L"The website accepted the login again; uploads go on");
        }
        log_.add(profile + L" changed and was uploaded");
        cursor_.LastModified[static_cast<std::size_t>(i)] = visit.time;
    } else if (upload.reply == kReplyInvalidLogin) {
        lastRejectionMs_ = process_.monotonicMs();
        if (loginRejected_) return;  // a retry: said already
        loginRejected_ = true;
        log_.add(profile + L" was not uploaded: the website rejected the login. Nothing is sent until you log in "
                           L"again; the login is tried again every 10 minutes");
        boxes_.show({L"The website rejected the login, so uploads are paused. Log out, enter the login and password "
                     L"that the website accepts and press OK. Until then the program tries again every 10 minutes."});
    } else {
        log_.add(profile + L" was not uploaded: the website answered " + QuotedReply(upload.reply) +
                 L". It will be sent again");
    }
}

}  // namespace hb
