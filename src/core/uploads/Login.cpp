#include "uploads/Login.h"

#include <string>

#include "base/ScopedValue.h"
#include "net/HttpWait.h"
#include "uploads/SiteAddress.h"
#include "uploads/SiteLogin.h"
#include "uploads/SiteMove.h"
#include "uploads/UploadReplies.h"

namespace hb {

namespace {

void ShowMessage(MessageBoxes& boxes, const std::wstring& text) {
    MessageBoxRequest box;
    box.text = text;
    boxes.show(box);
}

// What the automatic login waits out: no answer at all, or a gateway
// saying the site behind it is not there yet.
bool SiteNotThereYet(const UploadResult& upload) {
    return OutcomeOf(upload) == UploadOutcome::NoAnswer ||
           (!upload.answered && (upload.status == 429 || upload.status == 502 || upload.status == 503 ||
                                 upload.status == 504));
}

}  // namespace

Login::Login(MainWindow& window, MessageBoxes& boxes, MessageLog& log, SettingsStore& settings,
             CurrentSession& session, const EntryList& entries, ListCursor& cursor, SavedDataFiles& savedData,
             Transfers& transfers, const Process& process)
    : window_(window), boxes_(boxes), log_(log), settings_(settings), session_(session), entries_(entries),
      cursor_(cursor), savedData_(savedData), transfers_(transfers), process_(process) {}

bool Login::Command1_Click() {
    // The wait lets clicks in; a second login inside the first would send
    // the file again and stack its boxes.
    if (waiting_) return false;
    // The player's own login takes over from the automatic one.
    stopAutomaticLogin();
    return attempt(Mode::ByUser);
}

bool Login::automaticLogin() {
    if (waiting_) return false;
    stopAutomaticLogin();
    automaticSinceMs_ = process_.monotonicMs();
    return attempt(Mode::Automatic);
}

bool Login::Timer1_Timer() {
    if (!automaticPending_ || waiting_ || !automaticBackoff_.due(process_.monotonicMs())) return false;
    return attempt(Mode::Automatic);
}

void Login::stopAutomaticLogin() {
    automaticPending_ = false;
    automaticBackoff_.reset();
}

bool Login::attempt(Mode mode) {
    MainWindow& window = window_;
    if (loggedIn()) {
        stopAutomaticLogin();
        if (mode == Mode::ByUser) window.setState(WindowState::Minimised);
        return false;
    }
    if (window.text(Control::Login).empty()) {
        ShowMessage(boxes_, L"Please enter your login name for your website");
        return false;
    }
    if (window.text(Control::Password).empty()) {
        ShowMessage(boxes_, L"Please enter your password for your website");
        return false;
    }
    if (window.text(Control::URL).empty()) {
        ShowMessage(boxes_, L"Please enter the URL of your website");
        return false;
    }

    window.setText(Control::URL, NormaliseSiteAddress(window.text(Control::URL)));
    // The automatic login's later tries have nothing new to save.
    if (mode == Mode::ByUser || automaticBackoff_.failures() == 0) settings_.SaveSettingsAtLogin();

    std::optional<std::string> data = nextReadableData();
    if (!data) {
        stopAutomaticLogin();
        return false;
    }

    Session session{SiteLoginOf(window)};
    UploadResult upload;
    {
        ScopedValue waiting(waiting_, true);
        cancelled_ = false;
        // Log Out ends the wait (and the automatic login's tries).
        showState();
        upload = transfers_.send(session.site, *data, &cancelled_);
    }
    const UploadOutcome outcome = OutcomeOf(upload);
    // Logged out meanwhile: Log Out has set the window; nothing to tell.
    if (outcome == UploadOutcome::Cancelled) return false;

    if (mode == Mode::Automatic && SiteNotThereYet(upload)) {
        automaticTryFailed(upload);
        return false;
    }
    stopAutomaticLogin();
    if (outcome != UploadOutcome::Accepted) showState();
    AdoptSiteMove(window, settings_, log_, upload.movedTo);
    switch (outcome) {
        case UploadOutcome::Accepted:
            session.moved(upload.movedTo);
            session_ = std::move(session);
            window.setState(WindowState::Minimised);
            showState();
            log_.add(L"Successfully logged in");
            return true;
        case UploadOutcome::RejectedLogin:
            ShowMessage(boxes_, L"Invalid Login/Password");
            return false;
        default:
            // The failure itself first (and the data that was not sent in
            // the log), then what it most likely means.
            if (!upload.answered) transfers_.reportFailedUpload(upload, *data, FailureReport::Box);
            ShowMessage(boxes_, L"Invalid URL.  Please make sure you've entered it correctly");
            return false;
    }
}

void Login::automaticTryFailed(const UploadResult& upload) {
    const std::int64_t now = process_.monotonicMs();
    const std::wstring why = upload.status == 0 ? upload.failure : L"HTTP status " + std::to_wstring(upload.status);
    if (now - automaticSinceMs_ >= kAutomaticLoginPatienceMs) {
        // The one box: the player may be away from the computer; the log
        // holds every try.
        stopAutomaticLogin();
        showState();
        log_.add(L"The automatic login got no answer from the website for 10 minutes and was given up: " + why);
        ShowMessage(boxes_, upload.failure + L"\r\n\r\nThe automatic login got no answer from the website for 10 "
                                             L"minutes. Press OK to log in once the website can be reached.");
        return;
    }
    automaticPending_ = true;
    showState();  // Log Out stops the tries
    const std::int64_t delay = automaticBackoff_.fail(now, upload.retryAfterMs.value_or(0));
    log_.add(L"The automatic login got no answer from the website (" + why + L"); it is tried again in " +
             DeadlineText(delay));
}

std::optional<std::string> Login::nextReadableData() {
    // An entry whose file cannot be read (the game may be writing it, or a
    // saved-data file lies where no character's folder is) need not stop the
    // login while another checked entry can be sent.
    const std::optional<Entry> first = cursor_.next();
    std::wstring firstError;
    std::optional<std::string> data = savedData_.tryLoad(first, firstError);
    for (int tried = 1; !data && tried <= entries_.count(); ++tried) {
        const std::optional<Entry> entry = cursor_.next();
        if (entry == first) break;  // round the checked entries once
        std::wstring error;
        data = savedData_.tryLoad(entry, error);
    }
    // Only a listed, checked entry's file can fail to be read.
    if (!data) {
        // The user can press "OK" again once the game has written the file.
        ShowMessage(boxes_, L"The saved data of " + entries_.text(*first) +
                                L" could not be read, so the login was not tried: " + firstError);
    } else if (const std::optional<Entry> sent = cursor_.current(); sent != first) {
        log_.add(L"The saved data of " + entries_.text(*first) + L" could not be read, so the login sent " +
                 entries_.text(*sent) + L": " + firstError);
    }
    return data;
}

void Login::Command3_Click() {
    // A login waiting for the site ends now, quietly; so do the automatic
    // login's tries.
    if (waiting_) cancelled_ = true;
    stopAutomaticLogin();
    session_.reset();
    showState();
}

void Login::showState() {
    const bool loggedIn = this->loggedIn();
    // The fields first: a control that loses the focus as it is disabled
    // hands it on to the next one that is enabled.
    for (Control field : {Control::URL, Control::Login, Control::Password, Control::Command1}) {
        window_.setEnabled(field, !loggedIn);
    }
    window_.setEnabled(Control::Command3, loggedIn || (waiting_ && !cancelled_) || automaticPending_);
    // Enabling a running timer would restart its interval.
    if (window_.timerEnabled(Timer::UpdateTimer) != loggedIn) window_.setTimerEnabled(Timer::UpdateTimer, loggedIn);
}

}  // namespace hb
