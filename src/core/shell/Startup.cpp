// Start-up, window behaviour and shutdown.

#include "shell/Startup.h"

#include <exception>

#include "base/ScopedValue.h"
#include "shell/Form1.h"

namespace hb {

namespace {
// Start-up's walk lets the window answer this often, and shows it once
// start-up has taken this long: a player with thousands of characters sees
// the window at once, one with a few sees start-up as it always was.
constexpr std::int64_t kStartupAnswerEveryMs = 100;
constexpr std::int64_t kStartupShowAfterMs = 500;

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
    RunStartupStep(*this, codepage, [&] { StartupWalk(); });
    RunStartupStep(*this, codepage, [&] { settings_.CompareToHardDrive(); });
    RunStartupStep(*this, codepage, [&] { LoadSettings(); });  // may log in by itself, which hides the window
    PrepareWatcher();
    RunStartupStep(*this, codepage, [&] { updater_.CheckVersionAndDownload(); });
    RunStartupStep(*this, codepage, [&] {
        systray_.PrepareTrayIcon();
        systray_.AddTrayIcon();
    });
    RunStartupStep(*this, codepage, [&] {
        if (runOnStartup_.IsRunOnStartup()) SetCheckBox(ports_.window, *this, Control::StartWithWindows, 1);
    });
}

void Form1::StartupWalk() {
    Process& process = ports_.process;
    const std::int64_t started = process.monotonicMs();
    std::int64_t answered = started;
    scan_.setPacing({[&] { return process.monotonicMs() - answered >= kStartupAnswerEveryMs; },
                     [&] {
                         if (!ports_.window.visible() && process.monotonicMs() - started >= kStartupShowAfterMs) {
                             ports_.window.show();
                         }
                         // The settings are not loaded yet: Form1::onClick holds back clicks.
                         ScopedValue quiet(startupWalkAnswering_, true);
                         process.pumpMessages(0);
                         answered = process.monotonicMs();
                     }});
    struct EndPacing {
        CharacterScan& scan;
        ~EndPacing() { scan.setPacing({}); }
    } endPacing{scan_};
    scan_.LoadfilesFromHardDrive();
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
