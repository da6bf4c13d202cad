#include "shell/ShellExit.h"

#include <exception>

namespace hb {

void ShellExit::endProgram() {
    systray_.RemoveTrayIcon();
    process_.endNow();
    std::terminate();  // not reached: the compiler does not take the port's virtual endNow for noreturn
}

}  // namespace hb
