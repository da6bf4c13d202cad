#pragma once
#include <windows.h>

namespace hb::win32 {

// Dispatches one message. Keyboard navigation (Tab between the controls,
// Enter pressing "OK") applies to the main window only; the hidden windows
// of the tray and of XMLHTTP get their messages unchanged.
inline void DispatchWindowMessage(MSG& message, HWND mainWindow) {
    HWND root = message.hwnd != nullptr ? ::GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    if (mainWindow != nullptr && root == mainWindow && ::IsDialogMessageW(mainWindow, &message)) return;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
}

}  // namespace hb::win32
