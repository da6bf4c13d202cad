#pragma once
// The one notification-area icon of the process.

#include "ports/Process.h"
#include "ports/Shell.h"

namespace hb {

// Timer1 ticks once a second.
inline constexpr int kTrayRetryTicks = 5;

class SystrayMod {
public:
    SystrayMod(Shell& shell, TrayWindow& trayForm, const Codepage& codepage);
    // Loads the hidden tray window if needed and fills the record once.
    void PrepareTrayIcon();
    void AddTrayIcon();
    void RemoveTrayIcon();
    // Adds the icon again after the notification area was rebuilt, if it was
    // shown before; a removed icon stays removed.
    void RestoreTrayIcon();
    // Timer1's tick: an icon that could not be added (at logon the
    // notification area may not be ready yet) is tried again every
    // kTrayRetryTicks ticks. Returns whether it was added now.
    bool Timer1_Timer();
    // Whether the icon is in the notification area, so a hidden window can
    // be brought back through it.
    bool iconPresent() const { return present_; }
    const NotifyIconRecord& TrayIconData() const { return record_; }

private:
    Shell& shell_;
    TrayWindow& trayForm_;
    const Codepage& codepage_;
    NotifyIconRecord record_;
    bool prepared_ = false;
    bool shown_ = false;    // wanted: added and not removed since
    bool present_ = false;  // the shell took it
    int ticksSinceTry_ = 0;
};

}  // namespace hb
