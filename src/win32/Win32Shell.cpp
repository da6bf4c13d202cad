#include "win32/Win32Shell.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace hb::win32 {

namespace {
const wchar_t* OrNull(const std::wstring& text) { return text.empty() ? nullptr : text.c_str(); }
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

std::intptr_t Win32Shell::findExecutable(const std::wstring& file, const std::wstring& directory,
                                         std::wstring& executable) {
    // The shell writes up to MAX_PATH characters including the ending zero;
    // a larger buffer costs nothing and leaves room for long paths.
    std::vector<wchar_t> buffer(MAX_PATH * 4, L'\0');
    HINSTANCE result = ::FindExecutableW(file.c_str(), OrNull(directory), buffer.data());
    buffer.back() = L'\0';
    executable.assign(buffer.data());
    return reinterpret_cast<std::intptr_t>(result);
}

std::intptr_t Win32Shell::shellExecute(const std::wstring& operation, const std::wstring& file,
                                       const std::wstring& parameters, const std::wstring& directory,
                                       int showCommand) {
    HINSTANCE result = ::ShellExecuteW(nullptr, OrNull(operation), file.c_str(), OrNull(parameters),
                                       OrNull(directory), showCommand);
    return reinterpret_cast<std::intptr_t>(result);
}

}  // namespace hb::win32
