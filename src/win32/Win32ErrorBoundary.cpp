#include "win32/Win32ErrorBoundary.h"

#include <windows.h>

#include <exception>

#include "ports/Failure.h"

namespace hb::win32 {

namespace {

std::wstring FromAnsi(const char* text) {
    int length = ::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (length <= 1) return {};
    std::wstring wide(static_cast<std::size_t>(length - 1), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), length);
    return wide;
}

void Report(const ErrorReporter& report, const std::wstring& description) noexcept {
    try {
        std::wstring message = L"Unexpected error: " + description;
        if (report) {
            report(message);
        } else {
            ::OutputDebugStringW((message + L"\n").c_str());
        }
    } catch (...) {
        ::OutputDebugStringW(L"Unexpected error, and it could not be reported\n");
    }
}

}  // namespace

void RunGuarded(const ErrorReporter& report, const std::function<void()>& action) noexcept {
    try {
        action();
    } catch (const Failure& error) {
        Report(report, error.description());
    } catch (const std::exception& error) {
        Report(report, FromAnsi(error.what()));
    } catch (...) {
        Report(report, L"an error of unknown kind");
    }
}

}  // namespace hb::win32
