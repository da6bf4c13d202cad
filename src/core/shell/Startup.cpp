// Start-up, window behaviour and shutdown.

#include "shell/Startup.h"

#include "shell/Form1.h"
#include "shell/UpdateSchedule.h"

namespace hb {

void Form1::Form_Load() {
    LoadfilesFromHardDrive();
    CompareToHardDrive();
    LoadSettings();  // may log in by itself, which hides the window
    CurrentIndex = -1;
    // One element more than there are entries, as the first scan's callers expect.
    LastModified.assign(static_cast<std::size_t>(ports_.window.itemCount()) + 1, 0);
    CheckVersionAndDownload();
    systray_.PrepareTrayIcon();
    systray_.AddTrayIcon();
    if (IsRunOnStartup()) SetCheckBox(Control::StartWithWindows, 1);
}

void DisplayAfterLoad(MainWindow& window) {
    if (window.state() == WindowState::Minimised) return;
    window.show();
}

void Form1::Form_Resize() {
    if (ports_.window.state() == WindowState::Minimised) ports_.window.hide();
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

void Form1::Command2_Click() {
    systray_.RemoveTrayIcon();
    ports_.process.endNow();
}

void Form1::Timer1_Timer() {
    // The counter is reset before the check: ticks that arrive while the
    // check waits for the network count towards the next period.
    if (UpdateCheckDue(UpdateCheckTicks)) {
        UpdateCheckTicks = 0;
        CheckVersionAndDownload();
    }
    ++UpdateCheckTicks;
}

}  // namespace hb
