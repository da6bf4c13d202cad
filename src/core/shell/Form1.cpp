#include "shell/Form1.h"

#include <exception>

namespace hb {

Form1::Form1(Ports ports, Options options)
    : ports_(ports),
      options_(std::move(options)),
      walkSchedule_(ports.folderChanges),
      systray_(ports.shell, ports.trayWindow, ports.codepage) {}

void Form1::onLoad() { Form_Load(); }
void Form1::onResize() { Form_Resize(); }
void Form1::onCloseRequest(bool& cancel) { Form_Unload(cancel); }

void Form1::onClick(Control control) {
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

void Form1::onTimer(Timer timer) {
    if (timer == Timer::Timer1) {
        Timer1_Timer();
    } else {
        UpdateTimer_Timer();
    }
}

void Form1::SetCheckBox(Control box, int value) {
    MainWindow& window = ports_.window;
    if (window.checkValue(box) == value) return;
    window.setCheckValue(box, value);
    onClick(box);
}

}  // namespace hb
