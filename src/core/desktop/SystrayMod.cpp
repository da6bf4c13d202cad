#include "desktop/SystrayMod.h"

namespace hb {

namespace {
constexpr std::uint32_t kIconId = 1;
constexpr std::uint32_t kFlagMessage = 1;
constexpr std::uint32_t kFlagIcon = 2;
constexpr std::uint32_t kFlagTip = 4;
// The callback arrives as a mouse move, so the hidden window's mouse-move
// handler sees every mouse message that happens over the icon.
constexpr std::uint32_t kCallbackMouseMove = 0x200;
}  // namespace

SystrayMod::SystrayMod(Shell& shell, TrayWindow& trayForm, const Codepage& codepage)
    : shell_(shell), trayForm_(trayForm), codepage_(codepage) {}

void SystrayMod::PrepareTrayIcon() {
    trayForm_.load();
    if (prepared_) return;  // filled once; every later call passes the same record
    record_.window = trayForm_.handle();
    record_.id = kIconId;
    record_.flags = kFlagMessage | kFlagIcon | kFlagTip;
    record_.callbackMessage = kCallbackMouseMove;
    record_.icon = trayForm_.icon();
    record_.tip = codepage_.toAnsi(trayForm_.caption());
    prepared_ = true;
}

void SystrayMod::AddTrayIcon() {
    shown_ = true;
    ticksSinceTry_ = 0;
    // Adding fails for an icon that is there already; changing it then
    // tells that it is.
    present_ = shell_.notifyIcon(TrayOperation::Add, record_) || shell_.notifyIcon(TrayOperation::Modify, record_);
}

void SystrayMod::RemoveTrayIcon() {
    shell_.notifyIcon(TrayOperation::Delete, record_);
    shown_ = false;
    present_ = false;
}

void SystrayMod::RestoreTrayIcon() {
    if (shown_) AddTrayIcon();
}

bool SystrayMod::Timer1_Timer() {
    if (!shown_ || present_ || ++ticksSinceTry_ < kTrayRetryTicks) return false;
    AddTrayIcon();
    return present_;
}

}  // namespace hb
