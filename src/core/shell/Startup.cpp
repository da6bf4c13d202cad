// Start-up, window behaviour and shutdown.

#include "shell/Startup.h"

#include <exception>

#include "shell/Form1.h"

namespace hb {

namespace {
// Runs one start-up step. A failure the step does not handle itself is
// logged and start-up goes on: above all the tray icon must be added, as it
// is the only way back to a window that an automatic login has hidden.
template <typename Step>
void RunStartupStep(Form1& form, const Codepage& codepage, Step step) {
    try {
        step();
    } catch (const Failure& error) {
        form.AddMessage(L"Unexpected error during start-up: " + error.description());
    } catch (const std::exception& error) {
        form.AddMessage(L"Unexpected error during start-up: " + codepage.fromAnsi(error.what()));
    }
}
}  // namespace

void Form1::Form_Load() {
    const Codepage& codepage = ports_.codepage;
    // Where the files are (and an earlier version's taken over) before any is read.
    RunStartupStep(*this, codepage, [&] { settingsLocation_.prepare(log_); });
    RunStartupStep(*this, codepage, [&] { LoadfilesFromHardDrive(); });
    RunStartupStep(*this, codepage, [&] { CompareToHardDrive(); });
    RunStartupStep(*this, codepage, [&] { LoadSettings(); });  // may log in by itself, which hides the window
    PrepareWatcher();
    RunStartupStep(*this, codepage, [&] { CheckVersionAndDownload(); });
    RunStartupStep(*this, codepage, [&] {
        systray_.PrepareTrayIcon();
        systray_.AddTrayIcon();
    });
    RunStartupStep(*this, codepage, [&] {
        if (IsRunOnStartup()) SetCheckBox(Control::StartWithWindows, 1);
    });
}

void DisplayAfterLoad(MainWindow& window, bool trayIconPresent) {
    if (window.state() == WindowState::Minimised && trayIconPresent) return;
    window.show();
}

void Form1::Form_Resize() {
    // Hidden only while the tray icon can bring it back.
    if (ports_.window.state() == WindowState::Minimised && systray_.iconPresent()) ports_.window.hide();
}

void Form1::Form_Unload(bool& cancel) {
    ports_.window.setState(WindowState::Minimised);
    cancel = true;
}

namespace {
void SelectAll(MainWindow& window, Control box) {
    window.setSelection(box, 0, static_cast<int>(window.text(box).size()));
}
}  // namespace

void Form1::URL_GotFocus() { SelectAll(ports_.window, Control::URL); }
void Form1::Login_GotFocus() { SelectAll(ports_.window, Control::Login); }
void Form1::Password_GotFocus() { SelectAll(ports_.window, Control::Password); }

void Form1::Command2_Click() { exit_.endProgram(); }

}  // namespace hb
