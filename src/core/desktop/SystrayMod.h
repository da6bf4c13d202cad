#pragma once
// The one notification-area icon of the process.

#include "ports/Shell.h"

namespace hb {

class SystrayMod {
public:
    SystrayMod(Shell& shell, TrayWindow& trayForm);
    // Loads the hidden tray window if needed and fills the record once.
    void PrepareTrayIcon();
    void AddTrayIcon();
    void RemoveTrayIcon();
    const NotifyIconRecord& TrayIconData() const { return record_; }

private:
    Shell& shell_;
    TrayWindow& trayForm_;
    NotifyIconRecord record_;
};

}  // namespace hb
