#include "desktop/SysTrayCustomizable.h"

namespace hb {

void ToggleMainWindow(MainWindow& mainWindow) {
    if (mainWindow.visible()) {
        mainWindow.hide();
        return;
    }
    // A window hidden on minimising comes back in its normal state.
    mainWindow.setState(WindowState::Normal);
    mainWindow.show();
}

}  // namespace hb
