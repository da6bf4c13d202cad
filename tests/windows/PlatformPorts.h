#pragma once
// The fake ports over the platform's own process, code page and data
// protection, with COM started for the transports: what the tier's HTTP
// tests build their forms from. The program's folder is the test's
// temporary folder, so the settings files and the log land there.

#include "support/FakePorts.h"
#include "support/TempFolder.h"
#include "win32/ComInit.h"
#include "win32/Win32DataProtection.h"
#include "win32/Win32Process.h"
#include "windows/ProgramInFolder.h"

namespace hb::test {

class PlatformPorts : public FakePorts {
protected:
    PlatformPorts() {
        process.folder = temp.corePath();
        use(process).use(codepage).use(protection);
    }

    win32::ComInit com;
    TempFolder temp;
    ProgramInFolder process;
    win32::Win32Codepage codepage;
    win32::Win32DataProtection protection;
};

}  // namespace hb::test
