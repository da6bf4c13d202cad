#pragma once
// The real process, with the program's folder where the test says: the
// settings files and the log the program keeps beside itself then land in
// the test's temporary folder, not beside the test program.

#include <string>

#include "win32/Win32Process.h"

namespace hb::test {

class ProgramInFolder : public win32::Win32Process {
public:
    std::wstring executableFolder() const override { return folder; }
    std::wstring folder;
};

}  // namespace hb::test
