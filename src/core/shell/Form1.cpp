#include "shell/Form1.h"

#include "net/SiteUrl.h"

namespace hb {

Form1::Form1(Ports ports, Options options)
    : ports_(ports),
      settingsLocation_(ports.files, ports.process),
      windowLog_(ports.window, ports.process),
      logFile_(
          ports.files, ports.process, [this] { return settingsLocation_.folder(); },
          [this] { return ports_.window.text(Control::Password); }, windowLog_),
      log_(windowLog_, logFile_),
      systray_(ports.shell, ports.trayWindow, ports.codepage),
      exit_(systray_, ports.process),
      folders_(ports.registry, ports.boxes, exit_, &ports.files, &log_),
      entries_(ports.window),
      cursor_(entries_),
      transfers_(ports.http, ports.boxes, ports.shell, ports.files, ports.process, exit_, ports.codepage, log_,
                 options.httpDeadlineMs, options.httpTotalMs),
      settings_(ports.window, *this, ports.boxes, ports.files, settingsLocation_, ports.codepage, ports.protection,
                log_),
      runOnStartup_(ports.window, *this, ports.registry, ports.files, ports.process, log_),
      scan_(entries_, ports.files, ports.folderChanges, folders_, log_),
      savedData_(entries_, ports.files, folders_),
      login_(ports.window, ports.boxes, log_, settings_, session_, entries_, cursor_, savedData_, transfers_,
             ports.process),
      watcher_(ports.window, ports.files, ports.boxes, log_, ports.process, session_, entries_, cursor_, scan_,
               savedData_, transfers_, settings_),
      updater_(ports.files, ports.boxes, ports.process, ports.codepage, log_, folders_, transfers_,
               std::move(options.updateHost)) {
    scan_.setEntriesAdded([this](int first) { settings_.UncheckExcludedEntries(first); });
}

void Form1::onLoad() { Form_Load(); }
void Form1::onResize() { Form_Resize(); }
void Form1::onCloseRequest(bool& cancel) { Form_Unload(cancel); }

void Form1::onClick(Control control) {
    // Before the settings are loaded, what would read or save them waits:
    // the box and fields are set from the file right after the walk.
    if (startupWalkAnswering_ && control != Control::Command2 && control != Control::StartWithWindows) return;
    switch (control) {
        case Control::Command1: Command1_Click(); break;
        case Control::Command2: Command2_Click(); break;
        case Control::Command3: Command3_Click(); break;
        case Control::RememberPassword: RememberPassword_Click(); break;
        case Control::StartWithWindows: StartWithWindows_Click(); break;
        default: break;
    }
}

void Form1::onGotFocus(Control control) {
    switch (control) {
        case Control::URL: URL_GotFocus(); break;
        case Control::Login: Login_GotFocus(); break;
        case Control::Password: Password_GotFocus(); break;
        default: break;
    }
}

void Form1::onChange(Control control) {
    if (control == Control::URL) URL_Change();
}

void Form1::URL_Change() { ports_.window.setText(Control::Label4, SchemeLabel(ports_.window.text(Control::URL))); }

void Form1::onTimer(Timer timer) {
    if (timer == Timer::Timer1) {
        Timer1_Timer();
    } else {
        UpdateTimer_Timer();
    }
}

void Form1::Timer1_Timer() {
    // The icon first: the window it brings back may wait for it to hide.
    if (systray_.Timer1_Timer() && ports_.window.state() == WindowState::Minimised) ports_.window.hide();
    if (login_.Timer1_Timer()) watcher_.loginAccepted();
    // Not inside an upload's or a login's wait: the check's downloads, and
    // an "updated" box the player may not see behind the game, would hold
    // the uploads back until they end. It runs at the first tick after.
    updater_.Timer1_Timer(!watcher_.busy() && !login_.waiting());
}

void Form1::Command1_Click() {
    // A login the site takes ends a pause the watcher made for a rejected one.
    if (login_.Command1_Click()) watcher_.loginAccepted();
}

void Form1::Command3_Click() {
    login_.Command3_Click();
    // Logged out, nothing is uploaded: the account tree needs no watch.
    scan_.stopWatching();
}

void Form1::LoadSettings() {
    if (settings_.LoadSettings() && login_.automaticLogin()) watcher_.loginAccepted();
}

void Form1::PrepareWatcher() {
    cursor_.restart();
    entries_.forgetUploads();
}

}  // namespace hb
