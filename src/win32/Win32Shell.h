#pragma once
// shell32 for the core: the notify icon, the executable associated with a
// file, and starting a program.

#include "ports/Shell.h"

namespace hb::win32 {

class Win32Shell : public Shell {
public:
    bool notifyIcon(TrayOperation operation, const NotifyIconRecord& data) override;
    std::intptr_t findExecutable(const std::wstring& file, const std::wstring& directory,
                                 std::wstring& executable) override;
    std::intptr_t shellExecute(const std::wstring& operation, const std::wstring& file,
                               const std::wstring& parameters, const std::wstring& directory,
                               int showCommand) override;
};

}  // namespace hb::win32
