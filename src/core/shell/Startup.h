#pragma once
// What follows the start-up sequence.

#include "ports/MainWindow.h"

namespace hb {

// Displays the window after Form_Load, unless a login during start-up has
// already minimised it (and so hidden it in the tray).
void DisplayAfterLoad(MainWindow& window);

}  // namespace hb
