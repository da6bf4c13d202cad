// The browser launcher.

#include "base/GotoURL.h"

namespace hb {

namespace {

// The shell can only name the program for a file that exists.
constexpr const wchar_t* kScratchName = L"temp.htm";
constexpr std::string_view kScratchContent = "\"<HTML> <\\HTML>\"\r\n";
constexpr int kShowNormal = 1;

std::wstring TrimSpaces(const std::wstring& text) {
    auto first = text.find_first_not_of(L' ');
    if (first == std::wstring::npos) return {};
    auto last = text.find_last_not_of(L' ');
    return text.substr(first, last - first + 1);
}

}  // namespace

bool OpenInBrowser(const BrowserLauncherPorts& ports, const std::wstring& address) {
    const std::wstring name = kScratchName;
    const std::wstring path = ports.scratchFolder.empty() ? name : ports.scratchFolder + L"\\" + name;
    std::wstring error;
    if (!ports.files.writeAll(path, std::string(kScratchContent), error)) return false;

    std::wstring executable;
    const std::intptr_t result = ports.shell.findExecutable(name, ports.scratchFolder, executable);
    executable = TrimSpaces(executable);
    if (result <= 32) {
        MessageBoxRequest box;
        box.text = L"Could not find associated Browser";
        box.title = L"Browser Not Found";
        box.icon = BoxIcon::Exclamation;
        ports.boxes.show(box);
        return true;
    }
    // The browser itself gets the address, so a page opens in it even when
    // the shell's own URL handling is broken or unassigned.
    ports.shell.shellExecute(L"open", executable, address, L"", kShowNormal);
    return true;
}

}  // namespace hb
