#include "win32/Win32Process.h"

#include "win32/ErrorText.h"
#include "win32/MessageDispatch.h"

#include <windows.h>
#include <shlobj.h>

#include <cwchar>
#include <vector>

namespace hb::win32 {

void Win32Process::endNow() { ::ExitProcess(0); }

namespace {

std::wstring ExecutablePath() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length < buffer.size()) return std::wstring(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

std::wstring WithoutTrailingSeparator(std::wstring path) {
    // "C:\" stays a root.
    while (path.size() > 3 && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
    return path;
}

std::wstring KnownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    std::wstring folder;
    if (SUCCEEDED(::SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, &path))) folder = path;
    ::CoTaskMemFree(path);
    return WithoutTrailingSeparator(folder);
}

// Whether the path is the folder or lies below it, ignoring case as Windows does.
bool IsWithin(const std::wstring& path, const std::wstring& folder) {
    if (folder.empty() || path.size() < folder.size()) return false;
    if (::CompareStringOrdinal(path.data(), static_cast<int>(folder.size()), folder.data(),
                               static_cast<int>(folder.size()), TRUE) != CSTR_EQUAL) {
        return false;
    }
    return path.size() == folder.size() || path[folder.size()] == L'\\';
}

}  // namespace

std::wstring Win32Process::executableFolder() const {
    std::wstring path = ExecutablePath();
    auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::wstring Win32Process::executableFileName() const {
    std::wstring path = ExecutablePath();
    auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring Win32Process::workingFolder() const {
    DWORD length = ::GetCurrentDirectoryW(0, nullptr);
    if (length == 0) return {};
    std::wstring folder(length, L'\0');
    length = ::GetCurrentDirectoryW(length, folder.data());
    folder.resize(length);
    return WithoutTrailingSeparator(folder);
}

std::wstring Win32Process::localAppDataFolder() const { return KnownFolder(FOLDERID_LocalAppData); }

std::optional<std::wstring> Win32Process::virtualStoreFolder(const std::wstring& folder) const {
    // The folders Windows virtualizes for a program without a manifest; the
    // copy keeps the path without its drive, below the user's VirtualStore.
    const std::wstring localAppData = localAppDataFolder();
    if (localAppData.empty() || folder.size() < 3 || folder[1] != L':' || folder[2] != L'\\') return std::nullopt;
    for (REFKNOWNFOLDERID id : {FOLDERID_ProgramFiles, FOLDERID_ProgramFilesX86, FOLDERID_Windows,
                                FOLDERID_ProgramData}) {
        if (IsWithin(folder, KnownFolder(id))) return localAppData + L"\\VirtualStore" + folder.substr(2);
    }
    return std::nullopt;
}

std::wstring Win32Process::localDateTimeText() const {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    wchar_t date[128] = {};
    wchar_t time[128] = {};
    ::GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &now, nullptr, date, 128, nullptr);
    ::GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &now, nullptr, time, 128);
    return std::wstring(date) + L" " + time;
}

std::wstring Win32Process::isoLocalDateTimeText() const {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    wchar_t text[32] = {};
    std::swprintf(text, 32, L"%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth, now.wDay, now.wHour,
                  now.wMinute, now.wSecond);
    return text;
}

void Win32Process::pumpMessages(int maxWaitMs) {
    // Sleeps until a message arrives or the time is up, so a waiting request
    // costs no CPU; then dispatches everything pending.
    ::MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(maxWaitMs > 0 ? maxWaitMs : 0), QS_ALLINPUT,
                                  MWMO_INPUTAVAILABLE);
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        DispatchWindowMessage(message, mainWindow_);
    }
}

std::int64_t Win32Process::monotonicMs() const { return static_cast<std::int64_t>(::GetTickCount64()); }

std::int64_t Win32Process::systemTimeAsFileTime() const {
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER time;
    time.LowPart = now.dwLowDateTime;
    time.HighPart = now.dwHighDateTime;
    return static_cast<std::int64_t>(time.QuadPart);
}

std::wstring Win32Codepage::fromAnsi(std::string_view bytes) const {
    if (bytes.empty()) return {};
    int length = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), length);
    return text;
}

std::string Win32Codepage::toAnsi(std::wstring_view text) const {
    if (text.empty()) return {};
    int length = ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                       nullptr);
    std::string bytes(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), bytes.data(), length, nullptr,
                          nullptr);
    return bytes;
}

std::wstring ErrorDescription(DWORD error) {
    std::wstring text = FormatMessageText(error);
    if (text.empty()) text = L"Error " + std::to_wstring(error);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) text.pop_back();
    return text;
}

}  // namespace hb::win32
