#include <optional>
#include <string>
#include <vector>

#include "base/ScopedValue.h"
#include "settings/PasswordLine.h"
#include "settings/SettingsFileBytes.h"
#include "settings/SettingsStore.h"
#include "settings/TextFileFormat.h"

namespace hb {

SettingsStore::SettingsStore(MainWindow& window, FormEvents& events, MessageBoxes& boxes, FileSystem& files,
                             SettingsLocation& location, const Codepage& codepage,
                             const DataProtection& protection, MessageLog& log)
    : window_(window), events_(events), boxes_(boxes), files_(files), location_(location), codepage_(codepage),
      protection_(protection), log_(log), exclusions_(files, codepage, log, location) {}

// A start from the Run value at logon gets the system folder as its working
// directory, so the files are found through the location, never the
// working directory.
std::wstring SettingsStore::SettingsFilePath() const { return location_.folder() + L"\\" + kSettingsFileName; }

bool SettingsStore::LoadSettings() {
    const std::wstring path = SettingsFilePath();
    const SettingsFileBytes file = ReadSettingsFile(files_, path);
    std::vector<std::wstring> lines;
    // A damaged file's values would come back cut (settings/SettingsFileBytes.h),
    // so nothing of it is used, and it stays as it is until the user logs in;
    // so does one that cannot be read, whose login a save would replace
    // with empty fields.
    damaged_ = file.damage || file.readError;
    if (file.damage) {
        log_.add(path + L" is damaged (" + *file.damage + L"): the saved login was not used, and the file is kept "
                        L"as it is until you log in again.");
    } else if (file.readError) {
        log_.add(L"Could not read " + path + L": " + *file.readError +
                 L". The saved login was not used, and the file is kept as it is until you log in again.");
    } else {
        lines = DecodeTextFile(file.bytes, codepage_);
    }
    lines.resize(3);  // missing lines read as empty; lines after the third are ignored

    window_.setText(Control::Login, lines[0]);
    window_.setText(Control::URL, lines[1]);
    const RememberedPassword remembered = ReadPasswordLine(lines[2], protection_);
    if (remembered.unreadable) {
        log_.add(path + L" holds a remembered password that this Windows user cannot read (the file was saved by "
                        L"another user or on another computer, or is damaged): it was not used. Type the password "
                        L"and log in to remember it again.");
    }
    window_.setText(Control::Password, remembered.password);

    {
        ScopedValue loading(loading_, true);
        SetCheckBox(window_, events_, Control::RememberPassword, window_.text(Control::Password).empty() ? 0 : 1);
    }

    window_.setFocus(window_.text(Control::Login).empty() ? Control::Login : Control::Password);

    return !window_.text(Control::Password).empty() && !window_.text(Control::URL).empty() &&
           !window_.text(Control::Login).empty();
}

void SettingsStore::SaveSettings() {
    std::wstring error;

    // Each file is replaced in one step, so a crash or a full disk leaves the
    // old file whole. A failure (a program folder the user may not write to)
    // is only logged: the login goes on, and the next save tries again.
    auto replace = [&](const std::wstring& path, const std::string& bytes) {
        if (!files_.replaceAtomically(path, bytes, error)) {
            log_.add(L"Could not save " + path + L": " + error);
        }
    };
    if (!damaged_) {
        std::wstring passwordLine;
        if (window_.checkValue(Control::RememberPassword) == 1) {
            // Never in clear: without protection the password is not remembered.
            std::optional<std::wstring> line = PasswordLineOf(window_.text(Control::Password), protection_);
            if (line) {
                passwordLine = std::move(*line);
            } else {
                log_.add(L"The password could not be protected for this Windows user, so it was not remembered.");
            }
        }
        replace(SettingsFilePath(),
                EncodeTextFile({window_.text(Control::Login), window_.text(Control::URL), passwordLine}, codepage_));
    }

    exclusions_.Save(window_);
}

void SettingsStore::SaveSettingsAtLogin() {
    // The user's own login replaces a settings file found damaged.
    damaged_ = false;
    SaveSettings();
}

void SettingsStore::CompareToHardDrive() { exclusions_.CompareToHardDrive(window_); }

void SettingsStore::RememberPassword_Click() {
    if (!loading_ && window_.checkValue(Control::RememberPassword) == 1) {
        MessageBoxRequest question;
        question.title = L"Warning!";
        question.text =
            L"Warning! This is a security risk because your password will be stored on you hard drive.  "
            L"Are you sure you want to have the program remember your password?";
        question.buttons = BoxButtons::YesNo;
        question.icon = BoxIcon::Question;
        question.defaultButton = 1;
        // Unchecking raises this handler once more, nested; that run saves too.
        if (boxes_.show(question) == BoxAnswer::No) SetCheckBox(window_, events_, Control::RememberPassword, 0);
    }
    SaveSettings();
}

}  // namespace hb
