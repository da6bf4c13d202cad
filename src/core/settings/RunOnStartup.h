#pragma once
// "Run on Startup": the "HoardbookUploader" value of the Run keys that starts
// the program at logon; the machine-wide one, or the current user's when
// the machine-wide key cannot be written without administrator rights, and
// never both. The value names the program file that runs, whatever it is
// called (a second download saved as "HoardbookUploader (1).exe"); a value
// naming the documented "HoardbookUploader.exe" in the same folder, as
// earlier versions wrote it for any file name, counts as this program's
// too, but only a value naming a file that is there checks the box: one
// naming nothing would show "Run on Startup" while Windows starts nothing.

#include <string>

#include "ports/FileSystem.h"
#include "ports/MainWindow.h"
#include "ports/MessageLog.h"
#include "ports/Process.h"
#include "ports/Registry.h"

namespace hb {

inline constexpr const wchar_t* kRunKeyPath = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr const wchar_t* kRunValueName = L"HoardbookUploader";
inline constexpr const wchar_t* kDocumentedExecutableName = L"HoardbookUploader.exe";

// The quoted path of the file in the given folder (no trailing backslash).
std::wstring RunValueData(const std::wstring& executableFolder, const std::wstring& executableFileName);

class RunOnStartup {
public:
    // events receives the click a check box set from code raises.
    RunOnStartup(MainWindow& window, FormEvents& events, Registry& registry, FileSystem& files,
                 const Process& process, MessageLog& log);

    // Stores or removes the value as the box says; the box is set back to
    // what the registry holds when that could not be done.
    void StartWithWindows_Click();
    // Whether either Run key holds a value naming this program that starts
    // something: this executable, or "HoardbookUploader.exe" beside it, and
    // the file is there.
    bool IsRunOnStartup();

private:
    MainWindow& window_;
    FormEvents& events_;
    Registry& registry_;
    FileSystem& files_;
    const Process& process_;
    MessageLog& log_;
};

}  // namespace hb
