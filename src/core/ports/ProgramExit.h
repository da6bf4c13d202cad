#pragma once
// Ending the program from wherever it must end: the "Exit Program" button,
// a machine without an HTTP object, a game folder that cannot be found.
// Subsystems end it through this rather than through the process, so what
// the program shows outside its windows (the tray icon) goes with it.

namespace hb {

class ProgramExit {
public:
    virtual ~ProgramExit() = default;
    // Ends the program at once: no close handling, nothing saved.
    [[noreturn]] virtual void endProgram() = 0;
};

}  // namespace hb
