#pragma once
#include <windows.h>

namespace hb::win32 {

// Whether the window is a dialog (a message box, say) of the calling thread.
inline bool IsDialogOfThisThread(HWND window) {
    wchar_t className[16] = {};
    return ::GetClassNameW(window, className, 16) > 0 && ::lstrcmpW(className, L"#32770") == 0 &&
           ::GetWindowThreadProcessId(window, nullptr) == ::GetCurrentThreadId();
}

// Dispatches one message. Keyboard navigation (Tab between the controls,
// Enter pressing "OK") applies to the main window, and to a message box of
// this thread: a wait that pumps messages while a box is open (an upload
// started by a timer tick inside the box's own loop) would otherwise take
// the box's Enter, Esc and Tab. The hidden windows of the tray and of
// XMLHTTP get their messages unchanged.
inline void DispatchWindowMessage(MSG& message, HWND mainWindow) {
    HWND root = message.hwnd != nullptr ? ::GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    if (root != nullptr) {
        if (mainWindow != nullptr && root == mainWindow) {
            if (::IsDialogMessageW(mainWindow, &message)) return;
        } else if (IsDialogOfThisThread(root) && ::IsDialogMessageW(root, &message)) {
            return;
        }
    }
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
}

}  // namespace hb::win32
