#pragma once
// What a click on the tray icon does.

#include "ports/MainWindow.h"

namespace hb {

// Hides the main window when it is visible; otherwise restores and shows it.
void ToggleMainWindow(MainWindow& mainWindow);

}  // namespace hb
