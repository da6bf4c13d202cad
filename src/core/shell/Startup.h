#pragma once
// What follows the start-up sequence.

#include "ports/MainWindow.h"

namespace hb {

// Displays the window after Form_Load, unless a login during start-up has
// already minimised it and the tray icon is there to bring it back; without
// the icon it is displayed minimised, on the taskbar.
void DisplayAfterLoad(MainWindow& window, bool trayIconPresent);

}  // namespace hb
