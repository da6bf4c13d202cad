#pragma once
// The one way the program ends.

#include "desktop/SystrayMod.h"
#include "ports/ProgramExit.h"
#include "ports/Process.h"

namespace hb {

class ShellExit : public ProgramExit {
public:
    ShellExit(SystrayMod& systray, Process& process) : systray_(systray), process_(process) {}
    // Removes the tray icon, then ends the process. The shell removes the
    // icon of a process that ended only when the mouse passes over it, so
    // without this a dead icon would stay in the notification area.
    [[noreturn]] void endProgram() override;

private:
    SystrayMod& systray_;
    Process& process_;
};

}  // namespace hb
