#include "uploads/Login.h"

#include <string>

#include "uploads/SiteAddress.h"
#include "uploads/SiteLogin.h"
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

void Login::Command1_Click() {
    MainWindow& window = window_;
    if (!window.enabled(Control::Login)) {
        window.setState(WindowState::Minimised);
        return;
    }
    if (window.text(Control::Login).empty()) {
        ShowMessage(boxes_, L"Please enter your login name for your website");
        return;
    }
    if (window.text(Control::Password).empty()) {
        ShowMessage(boxes_, L"Please enter your password for your website");
        return;
    }
    if (window.text(Control::URL).empty()) {
        ShowMessage(boxes_, L"Please enter the URL of your website");
        return;
    }

    window.setText(Control::URL, NormaliseSiteAddress(window.text(Control::URL)));
    settings_.SaveSettingsAtLogin();

    const std::int16_t index = cursor_.next(window);
    std::wstring readError;
    std::optional<std::string> data = savedData_.tryLoad(index, readError);
    if (!data) {
        // The game may be writing the file; the user can press "OK" again.
        ShowMessage(boxes_, L"The saved data of " + window.itemText(index) +
                                      L" could not be read, so the login was not tried: " + readError);
        return;
    }

    const std::wstring reply = transfers_.upload(SiteLoginOf(window), *data, FailureReport::Box).reply;
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
    } else {
        ShowMessage(boxes_, L"Invalid URL.  Please make sure you've entered it correctly");
    }
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
