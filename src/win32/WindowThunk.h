#pragma once
// The window procedure for a window owned by an object, written once for
// both of the program's windows. The owner is handed to CreateWindowEx as
// its last parameter, kept in the window's user data from WM_NCCREATE on,
// and forgotten at WM_NCDESTROY. Messages reach Owner::handle only once the
// owner holds the window (CreateWindowEx has returned), and run guarded:
// no exception unwinds through the system's frames.
//
// Owner declares `friend struct WindowThunk<Owner>;` and has
// `UniqueWindow window_`, `ErrorReporter report_` and
// `LRESULT handle(UINT, WPARAM, LPARAM)`.

#include <windows.h>

#include "win32/Win32ErrorBoundary.h"

namespace hb::win32 {

template <typename Owner>
struct WindowThunk {
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE) {
            auto* owner = static_cast<Owner*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
            ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
        }
        auto* owner = reinterpret_cast<Owner*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (message == WM_NCDESTROY) ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        if (owner == nullptr || owner->window_.get() != window) {
            return ::DefWindowProcW(window, message, wParam, lParam);
        }
        LRESULT result = 0;
        RunGuarded(owner->report_, [&] { result = owner->handle(message, wParam, lParam); });
        return result;
    }
};

}  // namespace hb::win32
