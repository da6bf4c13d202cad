#pragma once
// Opens a web address with the browser associated with ".htm" files.

#include <string>

#include "ports/FileSystem.h"
#include "ports/MessageBoxes.h"
#include "ports/Shell.h"

namespace hb {

struct BrowserLauncherPorts {
    Shell& shell;
    FileSystem& files;
    MessageBoxes& boxes;
    // The folder "temp.htm" is written to; empty for the working directory.
    std::wstring scratchFolder;
};

// Returns false when the scratch file could not be written.
bool OpenInBrowser(const BrowserLauncherPorts& ports, const std::wstring& address);

}  // namespace hb
