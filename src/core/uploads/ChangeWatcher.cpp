// Each UpdateTimer tick looks at one checked entry, in turn, and uploads its
// saved data again when the file's last-write time differs from the one
// recorded at its last successful upload.

#include <string>

#include "shell/Form1.h"
#include "uploads/SavedDataRead.h"
#include "uploads/UploadReplies.h"

namespace hb {

namespace {

class BusyScope {
public:
    explicit BusyScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~BusyScope() { flag_ = false; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    bool& flag_;
};

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

void Form1::UpdateTimer_Timer() {
    // The upload's wait lets further ticks run; a nested tick would send the
    // same file again and interleave the stamps.
    if (watcherBusy_) return;
    BusyScope busy(watcherBusy_);

    LoadfilesFromHardDriveIfChanged();
    GetNextListIndexnoupload();
    const std::int16_t i = CurrentIndex;
    if (i < 0) return;

    MainWindow& window = ports_.window;
    // With every entry unchecked the cursor stays on the last one handled;
    // an unchecked entry is never sent (its data would read as empty).
    if (i >= window.itemCount() || !window.itemChecked(i)) return;

    const auto slot = static_cast<std::size_t>(i);
    if (LastModified.size() <= slot) LastModified.resize(slot + 1, 0);

    // A file that vanished or is locked between the scan and the read is
    // skipped for this tick and tried again at its next visit; it is logged
    // once until it can be read again.
    auto readFailed = [&](const std::wstring& error) {
        if (unreadableEntriesReported_.insert(i).second) {
            AddMessage(L"Profile for " + window.itemText(i) + L" could not be read and will be tried again: " +
                       error);
        }
    };

    std::wstring error;
    const std::optional<FileTime> time = ports_.files.lastWriteTime(SavedDataFileOf(i), error);
    if (!time) {
        readFailed(error);
        return;
    }
    if (LastModified[slot] == *time) return;

    std::optional<std::string> data = TryLoadSavedData(*this, i, error);
    if (!data) {
        readFailed(error);
        return;
    }
    unreadableEntriesReported_.erase(i);

    // While the site stays unreachable the user gets one message box, not one
    // every few seconds; GetXML still logs each failure.
    quietNextUploadFailure_ = siteOutageReported_;
    const std::wstring reply = GetXML(*data);
    quietNextUploadFailure_ = false;

    const std::wstring profile = L"Profile for " + window.itemText(i);
    if (lastUploadFailed_) {
        siteOutageReported_ = true;
        AddMessage(profile + L" could not be uploaded: the website did not answer. It will be sent again");
        return;
    }
    siteOutageReported_ = false;
    if (reply == kReplyUploaded) {
        AddMessage(profile + L" changed and was uploaded");
        LastModified[slot] = *time;
    } else if (reply == kReplyInvalidLogin) {
        AddMessage(profile + L" was not uploaded: the website rejected the login. It will be sent again");
    } else {
        AddMessage(profile + L" was not uploaded: the website answered " + QuotedReply(reply) +
                   L". It will be sent again");
    }
}

}  // namespace hb
