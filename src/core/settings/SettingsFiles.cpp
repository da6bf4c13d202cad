// "settings.txt" (login, site address, remembered password) and
// "noupload.txt" (the unchecked entries), both beside the executable.

#include <string>
#include <vector>

#include "settings/TextFileFormat.h"
#include "shell/Form1.h"

namespace hb {

namespace {

// Keeps LoadingSettings true while the remembered password sets its box,
// also if a handler on the way throws.
class LoadingSettingsScope {
public:
    explicit LoadingSettingsScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~LoadingSettingsScope() { flag_ = false; }
    LoadingSettingsScope(const LoadingSettingsScope&) = delete;
    LoadingSettingsScope& operator=(const LoadingSettingsScope&) = delete;

private:
    bool& flag_;
};

}  // namespace

// A start from the Run value at logon gets the system folder as its working
// directory, so the files are found through the executable's folder, which
// is the working directory of a start by hand.
std::wstring Form1::SettingsFilePath() const { return ports_.process.executableFolder() + L"\\settings.txt"; }

std::wstring Form1::ExclusionFilePath() const { return ports_.process.executableFolder() + L"\\noupload.txt"; }

void Form1::LoadSettings() {
    MainWindow& window = ports_.window;
    std::wstring error;
    const std::wstring path = SettingsFilePath();
    const std::string bytes = ports_.files.readAll(path, error).value_or("");
    std::vector<std::wstring> lines;
    // No version writes NUL bytes; a file holding them was damaged (a crash
    // while it was written, a disk error). Its values would come back cut, so
    // nothing of it is used, and it stays as it is until the user logs in.
    settingsFileDamaged_ = bytes.find('\0') != std::string::npos;
    if (settingsFileDamaged_) {
        AddMessage(path + L" is damaged (it holds NUL bytes): the saved login was not used, and the file is kept "
                          L"as it is until you log in again.");
    } else {
        lines = DecodeTextFile(bytes, ports_.codepage);
    }
    lines.resize(3);  // missing lines read as empty; lines after the third are ignored

    window.setText(Control::Login, lines[0]);
    window.setText(Control::URL, lines[1]);
    window.setText(Control::Password, lines[2]);

    {
        LoadingSettingsScope loading(LoadingSettings);
        SetCheckBox(Control::RememberPassword, window.text(Control::Password).empty() ? 0 : 1);
    }

    window.setFocus(window.text(Control::Login).empty() ? Control::Login : Control::Password);

    if (!window.text(Control::Password).empty() && !window.text(Control::URL).empty() &&
        !window.text(Control::Login).empty()) {
        Command1_Click();
    }
}

void Form1::SaveSettings() {
    MainWindow& window = ports_.window;
    const Codepage& codepage = ports_.codepage;
    std::wstring error;

    // Each file is replaced in one step, so a crash or a full disk leaves the
    // old file whole. A failure (a program folder the user may not write to)
    // is only logged: the login goes on, and the next save tries again.
    auto replace = [&](const std::wstring& path, const std::string& bytes) {
        if (!ports_.files.replaceAtomically(path, bytes, error)) {
            AddMessage(L"Could not save " + path + L": " + error);
        }
    };
    if (!settingsFileDamaged_) {
        replace(SettingsFilePath(),
                EncodeTextFile({window.text(Control::Login), window.text(Control::URL),
                                window.checkValue(Control::RememberPassword) == 1 ? window.text(Control::Password)
                                                                                  : std::wstring()},
                               codepage));
    }

    std::vector<std::wstring> excluded;
    for (int i = 0; i < window.itemCount(); ++i) {
        if (!window.itemChecked(i)) excluded.push_back(window.itemText(i));
    }
    replace(ExclusionFilePath(), EncodeTextFile(excluded, codepage));
}

}  // namespace hb
