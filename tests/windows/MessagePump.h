#pragma once
// The window thread's message loop for the tests: dispatches what arrives
// until a condition holds or the time is up.

#include <windows.h>

#include <functional>

namespace hb::test {

inline bool PumpUntil(const std::function<bool()>& condition, int timeoutMs) {
    const ULONGLONG start = ::GetTickCount64();
    while (!condition()) {
        if (::GetTickCount64() - start > static_cast<ULONGLONG>(timeoutMs)) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
    return true;
}

}  // namespace hb::test
