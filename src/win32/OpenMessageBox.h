#pragma once
// The message box this thread has open, if any.

#include <windows.h>

#include "win32/MessageDispatch.h"

namespace hb::win32 {

// A box shown without an owner (the main window in the tray) is modal to
// the whole thread: every other window of the thread is disabled under it.
inline HWND OpenMessageBoxOfThisThread() {
    HWND found = nullptr;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND window, LPARAM result) -> BOOL {
            if (!::IsWindowVisible(window) || !::IsWindowEnabled(window) || !IsDialogOfThisThread(window))
                return TRUE;
            *reinterpret_cast<HWND*>(result) = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// Brings an open box to the front and activates it; false when none is open.
// A box is waiting for the player's answer, and every window under it is
// disabled: showing one of those instead would leave the player a window
// that cannot be clicked or closed, with the box lost behind the game.
inline bool BringOpenMessageBoxForward() {
    HWND box = OpenMessageBoxOfThisThread();
    if (box == nullptr) return false;
    ::SetForegroundWindow(box);
    ::SetActiveWindow(box);
    return true;
}

}  // namespace hb::win32
