#pragma once
// "Run on Startup": the "HoardbookUploader" value of the Run keys that starts
// the program at logon; the machine-wide one, or the current user's when
// the machine-wide key cannot be written without administrator rights.

#include <string>

#include "ports/MainWindow.h"
#include "ports/MessageLog.h"
#include "ports/Process.h"
#include "ports/Registry.h"

namespace hb {

inline constexpr const char* kRunKeyPath = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr const char* kRunValueName = "HoardbookUploader";

// The quoted path of "HoardbookUploader.exe" in the given folder (no
// trailing backslash), whatever the running file is called.
std::wstring RunValueData(const std::wstring& executableFolder);

class RunOnStartup {
public:
    // events receives the click a check box set from code raises.
    RunOnStartup(MainWindow& window, FormEvents& events, Registry& registry, const Process& process,
                 const Codepage& codepage, MessageLog& log);

    // Stores or removes the value as the box says; the box is set back to
    // what the registry holds when that could not be done.
    void StartWithWindows_Click();
    // Whether either Run key holds this executable's value.
    bool IsRunOnStartup();

private:
    MainWindow& window_;
    FormEvents& events_;
    Registry& registry_;
    const Process& process_;
    const Codepage& codepage_;
    MessageLog& log_;
};

}  // namespace hb
