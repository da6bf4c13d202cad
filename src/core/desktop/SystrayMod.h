#pragma once
// The one notification-area icon of the process.

#include "ports/Process.h"
#include "ports/Shell.h"

namespace hb {

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
    const NotifyIconRecord& TrayIconData() const { return record_; }

private:
    Shell& shell_;
    TrayWindow& trayForm_;
    const Codepage& codepage_;
    NotifyIconRecord record_;
    bool prepared_ = false;
    bool shown_ = false;
};

}  // namespace hb
