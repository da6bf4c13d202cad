#include "desktop/SysTrayForm.h"

#include <cmath>

#include "desktop/SysTrayCustomizable.h"

namespace hb {

namespace {
constexpr int kLeftButtonUp = 0x202;
constexpr int kLeftButtonDoubleClick = 0x203;
constexpr int kRightButtonUp = 0x205;
}  // namespace

int DecodeTrayMessage(double x, ScaleMode scaleMode, double twipsPerPixelX) {
    double pixels = scaleMode == ScaleMode::Pixels ? x : x / twipsPerPixelX;
    // std::nearbyint rounds halves to even in the default rounding mode.
    return static_cast<int>(std::nearbyint(pixels));
}

SysTrayForm::SysTrayForm(SystrayMod& systray, MainWindow& mainWindow, TrayWindow& window, ScaleMode scaleMode)
    : systray_(systray), mainWindow_(mainWindow), window_(window), scaleMode_(scaleMode) {}

void SysTrayForm::Form_MouseMove(int, int, double x, double) {
    switch (DecodeTrayMessage(x, scaleMode_, window_.twipsPerPixelX())) {
        case kLeftButtonUp:
        case kLeftButtonDoubleClick:
        case kRightButtonUp:
            ToggleMainWindow(mainWindow_);
            break;
        default:
            break;  // presses and plain moves over the icon do nothing
    }
}

void SysTrayForm::Form_Unload() { systray_.RemoveTrayIcon(); }

void SysTrayForm::onMouseMove(int button, int shift, double x, double y) { Form_MouseMove(button, shift, x, y); }
void SysTrayForm::onUnload() { Form_Unload(); }
void SysTrayForm::onTaskbarCreated() {
    systray_.RestoreTrayIcon();
    // A window left minimised on the taskbar while no icon existed goes
    // back to the tray.
    if (systray_.iconPresent() && mainWindow_.state() == WindowState::Minimised) mainWindow_.hide();
}

}  // namespace hb
