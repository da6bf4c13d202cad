#include <string>
#include <vector>

#include "base/ScopedValue.h"
#include "settings/SettingsStore.h"
#include "settings/TextLines.h"

namespace hb {

namespace {

std::string_view WithoutSurroundingSpaces(std::string_view line) {
    while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
    while (!line.empty() && line.back() == ' ') line.remove_suffix(1);
    return line;
}

}  // namespace

SettingsStore::SettingsStore(MainWindow& window, FormEvents& events, MessageBoxes& boxes, FileSystem& files,
                             const Process& process, const Codepage& codepage, MessageLog& log)
    : window_(window), events_(events), boxes_(boxes), files_(files), process_(process), codepage_(codepage),
      log_(log) {}

// A start from the Run value at logon gets the system folder as its working
// directory, so the files are found through the executable's folder, which
// is the working directory of a start by hand.
std::wstring SettingsStore::SettingsFilePath() const { return process_.executableFolder() + L"\\settings.txt"; }

std::wstring SettingsStore::ExclusionFilePath() const { return process_.executableFolder() + L"\\noupload.txt"; }

bool SettingsStore::LoadSettings() {
    std::wstring error;
    const std::string bytes = files_.readAll(SettingsFilePath(), error).value_or("");
    std::vector<std::string_view> lines = SplitTextLines(bytes);
    lines.resize(3);  // missing lines read as empty; lines after the third are ignored

    window_.setText(Control::Login, codepage_.fromAnsi(lines[0]));
    window_.setText(Control::URL, codepage_.fromAnsi(lines[1]));
    window_.setText(Control::Password, codepage_.fromAnsi(lines[2]));

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
    std::vector<std::string> settings{
        codepage_.toAnsi(window_.text(Control::Login)),
        codepage_.toAnsi(window_.text(Control::URL)),
        window_.checkValue(Control::RememberPassword) == 1 ? codepage_.toAnsi(window_.text(Control::Password))
                                                           : std::string(),
    };
    replace(SettingsFilePath(), JoinTextLines(settings));

    std::vector<std::string> excluded;
    for (int i = 0; i < window_.itemCount(); ++i) {
        if (!window_.itemChecked(i)) excluded.push_back(codepage_.toAnsi(window_.itemText(i)));
    }
    replace(ExclusionFilePath(), JoinTextLines(excluded));
}

void SettingsStore::CompareToHardDrive() {
    int count = window_.itemCount();
    for (int i = 0; i < count; ++i) window_.setItemChecked(i, true);

    // Any failure on the way ends this quietly: the file is optional.
    try {
        std::wstring error;
        auto bytes = files_.readAll(ExclusionFilePath(), error);
        if (!bytes) return;
        for (std::string_view line : SplitTextLines(*bytes)) {
            std::wstring name = codepage_.fromAnsi(WithoutSurroundingSpaces(line));
            for (int i = 0; i < count; ++i) {
                if (window_.itemText(i) == name) window_.setItemChecked(i, false);
            }
        }
    } catch (const std::exception&) {
    }
}

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
