#pragma once
// The hidden window's handlers: decoding the icon's callback and unloading.

#include "desktop/SystrayMod.h"
#include "ports/MainWindow.h"
#include "ports/Shell.h"

namespace hb {

enum class ScaleMode { Twips = 1, Pixels = 3 };

// The mouse message number carried by a callback's x coordinate.
int DecodeTrayMessage(double x, ScaleMode scaleMode, double twipsPerPixelX);

class SysTrayForm : public TrayEvents {
public:
    SysTrayForm(SystrayMod& systray, MainWindow& mainWindow, TrayWindow& window,
                ScaleMode scaleMode = ScaleMode::Twips);
    void Form_MouseMove(int button, int shift, double x, double y);
    void Form_Unload();

    void onMouseMove(int button, int shift, double x, double y) override;
    void onUnload() override;
    void onTaskbarCreated() override;

private:
    SystrayMod& systray_;
    MainWindow& mainWindow_;
    TrayWindow& window_;
    ScaleMode scaleMode_;
};

}  // namespace hb
