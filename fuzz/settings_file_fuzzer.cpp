// "settings.txt" (login, site address, remembered password), read at start
// and written at login, through the program's own handlers.
// Input: a first byte choosing what to do with the rest:
//   even: the rest is the file as found beside the program, loaded at start;
//   odd:  the rest is UTF-8 lines (login, address, password) typed into the
//         window, saved, and loaded again at the next start.

#include "support/FormHarness.h"
#include "support/FuzzSupport.h"
#include "uploads/SiteAddress.h"

using namespace hb;

namespace {

void LoadFoundFile(std::string_view bytes) {
    fuzz::MemoryFileSystem files;
    files.files[fuzz::kSettingsFile] = std::string(bytes);
    fuzz::FormHarness start(files);
    const bool ended = start.run([](Form1& form) { form.LoadSettings(); });

    for (Control field : {Control::Login, Control::URL, Control::Password}) {
        // A line ends at CR LF, CR or LF: no field holds a line end.
        FUZZ_CHECK(start.window.text(field).find_first_of(L"\r\n") == std::wstring::npos);
    }
    // Without a remembered password loading writes nothing and logs nobody in
    // (with one, ticking "Remember Password" saves, and all three log in).
    if (start.window.text(Control::Password).empty()) {
        FUZZ_CHECK(files.writes[fuzz::kSettingsFile] == 0 && !ended);
    }

    // A file holding NUL bytes is damaged: logged, no automatic login, and
    // not overwritten until the user logs in.
    if (bytes.find('\0') != std::string_view::npos) {
        FUZZ_CHECK(files.writes[fuzz::kSettingsFile] == 0);
        FUZZ_CHECK(files.files[fuzz::kSettingsFile] == bytes);
        FUZZ_CHECK(!start.window.text(Control::Data).empty());
    }
}

void SaveAndLoadTyped(std::string_view typed) {
    const std::vector<std::wstring> lines = fuzz::SplitAt<wchar_t>(fuzz::Utf16FromUtf8(typed), L'\n');
    const std::wstring login = lines.size() > 0 ? lines[0] : L"";
    const std::wstring address = lines.size() > 1 ? lines[1] : L"";
    const std::wstring password = lines.size() > 2 ? lines[2] : L"";
    for (const std::wstring& text : {login, address, password}) {
        // A text box holds one line. Characters outside the ANSI code page
        // stay in: they come back unchanged too.
        for (wchar_t c : text) {
            if (c < 0x20) return;
        }
    }

    fuzz::MemoryFileSystem files;
    {
        fuzz::FormHarness session(files);
        session.window.setText(Control::Login, login);
        session.window.setText(Control::URL, address);
        session.window.setText(Control::Password, password);
        session.window.setCheckValue(Control::RememberPassword, 1);
        session.form->settings().SaveSettings();
    }
    fuzz::FormHarness next(files);
    next.run([](Form1& form) { form.LoadSettings(); });

    FUZZ_CHECK(next.window.text(Control::Login) == login);
    FUZZ_CHECK(next.window.text(Control::Password) == password);
    // With all three remembered the program logs in at once, which cuts the
    // address down to its host.
    const bool loggedIn = !login.empty() && !address.empty() && !password.empty();
    FUZZ_CHECK(next.window.text(Control::URL) == (loggedIn ? NormaliseSiteAddress(address) : address));
    FUZZ_CHECK(next.window.checkValue(Control::RememberPassword) == (password.empty() ? 0 : 1));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string_view rest = fuzz::Bytes(data + 1, size - 1);
    if (data[0] % 2 == 0) {
        LoadFoundFile(rest);
    } else {
        SaveAndLoadTyped(rest);
    }
    return 0;
}
