#include "win32/Win32Process.h"

#include "win32/ErrorText.h"
#include "win32/MessageDispatch.h"

#include <windows.h>

#include <vector>

namespace hb::win32 {

void Win32Process::endNow() { ::ExitProcess(0); }

std::wstring Win32Process::executableFolder() const {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length < buffer.size()) {
            std::wstring path(buffer.data(), length);
            auto slash = path.find_last_of(L"\\/");
            return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
        }
        buffer.resize(buffer.size() * 2);
    }
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
