#include "uploads/Login.h"

#include <string>

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

}  // namespace

Login::Login(MainWindow& window, MessageBoxes& boxes, MessageLog& log, SettingsStore& settings, ListCursor& cursor,
             SavedDataFiles& savedData, Transfers& transfers)
    : window_(window), boxes_(boxes), log_(log), settings_(settings), cursor_(cursor), savedData_(savedData),
      transfers_(transfers) {}

bool Login::Command1_Click() {
    MainWindow& window = window_;
    if (!window.enabled(Control::Login)) {
        window.setState(WindowState::Minimised);
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
    settings_.SaveSettingsAtLogin();

    std::optional<std::string> data = nextReadableData();
    if (!data) return false;

    const UploadResult upload = transfers_.upload(SiteLoginOf(window), *data, FailureReport::Box);
    AdoptSiteMove(window, settings_, log_, upload.movedTo);
    const std::wstring& reply = upload.reply;
    if (reply == kReplyInvalidLogin) {
        ShowMessage(boxes_, L"Invalid Login/Password");
    } else if (reply == kReplyUploaded) {
        window.setState(WindowState::Minimised);
        window.setTimerEnabled(Timer::UpdateTimer, true);
        window.setEnabled(Control::URL, false);
        window.setEnabled(Control::Login, false);
        window.setEnabled(Control::Password, false);
        window.setEnabled(Control::Command1, false);
        window.setEnabled(Control::Command3, true);
        log_.add(L"Successfully logged in");
        return true;
    } else {
        ShowMessage(boxes_, L"Invalid URL.  Please make sure you've entered it correctly");
    }
    return false;
}

std::optional<std::string> Login::nextReadableData() {
    // An entry whose file cannot be read (the game may be writing it, or a
    // saved-data file lies where no character's folder is) need not stop the
    // login while another checked entry can be sent.
    const std::int16_t first = cursor_.next(window_);
    std::wstring firstError;
    std::optional<std::string> data = savedData_.tryLoad(first, firstError);
    for (int tried = 1; !data && tried <= window_.itemCount(); ++tried) {
        const std::int16_t index = cursor_.next(window_);
        if (index == first) break;  // round the checked entries once
        std::wstring error;
        data = savedData_.tryLoad(index, error);
    }
    if (!data) {
        // The user can press "OK" again once the game has written the file.
        ShowMessage(boxes_, L"The saved data of " + window_.itemText(first) +
                                L" could not be read, so the login was not tried: " + firstError);
    } else if (cursor_.CurrentIndex != first) {
        log_.add(L"The saved data of " + window_.itemText(first) + L" could not be read, so the login sent " +
                 window_.itemText(cursor_.CurrentIndex) + L": " + firstError);
    }
    return data;
}

void Login::Command3_Click() {
    MainWindow& window = window_;
    window.setEnabled(Control::Login, true);
    window.setTimerEnabled(Timer::UpdateTimer, false);
    window.setEnabled(Control::URL, true);
    window.setEnabled(Control::Password, true);
    window.setEnabled(Control::Command1, true);
    window.setEnabled(Control::Command3, false);
}

}  // namespace hb
