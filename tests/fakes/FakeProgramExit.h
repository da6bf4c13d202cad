#pragma once
#include "fakes/FakeProcess.h"
#include "ports/ProgramExit.h"

namespace hb::test {

// The way out of a subsystem built alone, with no tray icon to remove:
// ends the fake process (which throws ProcessEnded).
class FakeProgramExit : public ProgramExit {
public:
    explicit FakeProgramExit(FakeProcess& process) : process_(process) {}
    [[noreturn]] void endProgram() override {
        ++count;
        process_.endNow();
        throw ProcessEnded{};  // not reached: endNow throws it
    }
    int count = 0;

private:
    FakeProcess& process_;
};

}  // namespace hb::test
