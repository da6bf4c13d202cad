// TEMPORARY placeholders so the program links while the tray is built; delete when implemented.
#include "desktop/SysTrayCustomizable.h"
#include "desktop/SysTrayForm.h"
#include "desktop/SystrayMod.h"
namespace hb {
SystrayMod::SystrayMod(Shell& shell, TrayWindow& trayForm) : shell_(shell), trayForm_(trayForm) {}
void SystrayMod::PrepareTrayIcon() {}
void SystrayMod::AddTrayIcon() {}
void SystrayMod::RemoveTrayIcon() {}
void ToggleMainWindow(MainWindow&) {}
}  // namespace hb
