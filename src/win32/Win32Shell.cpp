#include "win32/Win32Shell.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace hb::win32 {

namespace {
const char* OrNull(const std::string& text) { return text.empty() ? nullptr : text.c_str(); }
}  // namespace

bool Win32Shell::notifyIcon(TrayOperation operation, const NotifyIconRecord& data) {
    NOTIFYICONDATAA record{};
    // The first version's layout: understood by every shell, and the tip
    // field holds the 63 characters the record allows.
    record.cbSize = NOTIFYICONDATAA_V1_SIZE;
    record.hWnd = reinterpret_cast<HWND>(data.window);
    record.uID = data.id;
    record.uFlags = data.flags;
    record.uCallbackMessage = data.callbackMessage;
    record.hIcon = reinterpret_cast<HICON>(data.icon);
    std::size_t length = std::min<std::size_t>(data.tip.size(), 63);
    std::memcpy(record.szTip, data.tip.data(), length);
    record.szTip[length] = '\0';
    return ::Shell_NotifyIconA(static_cast<DWORD>(operation), &record) != FALSE;
}

std::intptr_t Win32Shell::findExecutable(const std::string& file, const std::string& directory,
                                         std::string& executable) {
    // The shell writes up to MAX_PATH characters including the ending zero;
    // a larger buffer costs nothing and leaves room for long paths.
    std::vector<char> buffer(MAX_PATH * 4, '\0');
    HINSTANCE result = ::FindExecutableA(file.c_str(), OrNull(directory), buffer.data());
    buffer.back() = '\0';
    executable.assign(buffer.data());
    return reinterpret_cast<std::intptr_t>(result);
}

std::intptr_t Win32Shell::shellExecute(const std::string& operation, const std::string& file,
                                       const std::string& parameters, const std::string& directory,
                                       int showCommand) {
    HINSTANCE result = ::ShellExecuteA(nullptr, OrNull(operation), file.c_str(), OrNull(parameters),
                                       OrNull(directory), showCommand);
    return reinterpret_cast<std::intptr_t>(result);
}

}  // namespace hb::win32
