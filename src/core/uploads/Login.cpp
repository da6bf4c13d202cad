// "OK" logs in by uploading the next checked entry's saved data; the site's
// answer tells whether the login and the address are good. "Log Out" stops
// the change watcher and makes the fields editable again.

#include <string>

#include "shell/Form1.h"
#include "uploads/SavedDataRead.h"
#include "uploads/SiteAddress.h"
#include "uploads/UploadReplies.h"

namespace hb {

namespace {

void ShowMessage(MessageBoxes& boxes, const std::wstring& text) {
    MessageBoxRequest box;
    box.text = text;
    boxes.show(box);
}

}  // namespace

void Form1::Command1_Click() {
    MainWindow& window = ports_.window;
    if (!window.enabled(Control::Login)) {
        window.setState(WindowState::Minimised);
        return;
    }
    if (window.text(Control::Login).empty()) {
        ShowMessage(ports_.boxes, L"Please enter your login name for your website");
        return;
    }
    if (window.text(Control::Password).empty()) {
        ShowMessage(ports_.boxes, L"Please enter your password for your website");
        return;
    }
    if (window.text(Control::URL).empty()) {
        ShowMessage(ports_.boxes, L"Please enter the URL of your website");
        return;
    }

    window.setText(Control::URL, NormaliseSiteAddress(window.text(Control::URL)));
    // The user's own login replaces a settings file found damaged.
    settingsFileDamaged_ = false;
    SaveSettings();

    GetNextListIndexnoupload();
    const std::int16_t index = CurrentIndex;
    std::wstring readError;
    std::optional<std::string> data = TryLoadSavedData(*this, index, readError);
    if (!data) {
        // The game may be writing the file; the user can press "OK" again.
        ShowMessage(ports_.boxes, L"The saved data of " + window.itemText(index) +
                                      L" could not be read, so the login was not tried: " + readError);
        return;
    }

    const std::wstring reply = GetXML(*data);
    if (reply == kReplyInvalidLogin) {
        ShowMessage(ports_.boxes, L"Invalid Login/Password");
    } else if (reply == kReplyUploaded) {
        window.setState(WindowState::Minimised);
        window.setTimerEnabled(Timer::UpdateTimer, true);
        window.setEnabled(Control::URL, false);
        window.setEnabled(Control::Login, false);
        window.setEnabled(Control::Password, false);
        window.setEnabled(Control::Command1, false);
        window.setEnabled(Control::Command3, true);
        AddMessage(L"Successfully logged in");
    } else {
        ShowMessage(ports_.boxes, L"Invalid URL.  Please make sure you've entered it correctly");
    }
}

void Form1::Command3_Click() {
    MainWindow& window = ports_.window;
    window.setEnabled(Control::Login, true);
    window.setTimerEnabled(Timer::UpdateTimer, false);
    window.setEnabled(Control::URL, true);
    window.setEnabled(Control::Password, true);
    window.setEnabled(Control::Command1, true);
    window.setEnabled(Control::Command3, false);
}

}  // namespace hb
