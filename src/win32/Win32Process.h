#pragma once
#include <windows.h>
#include "ports/Process.h"

namespace hb::win32 {

class Win32Process : public Process {
public:
    [[noreturn]] void endNow() override;
    std::wstring executableFolder() const override;
    std::wstring executableFileName() const override;
    std::wstring workingFolder() const override;
    std::wstring localAppDataFolder() const override;
    std::optional<std::wstring> virtualStoreFolder(const std::wstring& folder) const override;
    std::wstring localDateTimeText() const override;
    std::wstring isoLocalDateTimeText() const override;
    void pumpMessages(int maxWaitMs) override;
    std::int64_t monotonicMs() const override;
    std::int64_t systemTimeAsFileTime() const override;

    // The window whose keyboard navigation the pump handles while waiting.
    void setMainWindow(HWND window) { mainWindow_ = window; }

private:
    HWND mainWindow_ = nullptr;
};

class Win32Codepage : public Codepage {
public:
    std::wstring fromAnsi(std::string_view bytes) const override;
    std::string toAnsi(std::wstring_view text) const override;
};

// The system's description of a Win32 error code.
std::wstring ErrorDescription(DWORD error);

}  // namespace hb::win32
