#include "win32/Win32TrayWindow.h"

#include <stdexcept>

#include "win32/ControlIds.h"
#include "win32/OpenMessageBox.h"
#include "win32/Win32MainWindowLayout.h"

namespace hb::win32 {

namespace {

// A top-level window (a message-only one would miss the shell's broadcast);
// a tool window, so it would not reach the task bar even if shown.
constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW;
constexpr DWORD kExStyle = WS_EX_TOOLWINDOW;

// The mouse-move event's button and shift arguments, from the key flags.
int ButtonOf(WPARAM keys) {
    return ((keys & MK_LBUTTON) ? 1 : 0) | ((keys & MK_RBUTTON) ? 2 : 0) | ((keys & MK_MBUTTON) ? 4 : 0);
}
int ShiftOf(WPARAM keys) {
    return ((keys & MK_SHIFT) ? 1 : 0) | ((keys & MK_CONTROL) ? 2 : 0) | (::GetKeyState(VK_MENU) < 0 ? 4 : 0);
}

// The icon's clicks that show or hide the main window.
bool IsToggleClick(UINT mouseMessage) {
    return mouseMessage == WM_LBUTTONUP || mouseMessage == WM_LBUTTONDBLCLK || mouseMessage == WM_RBUTTONUP;
}

}  // namespace

UINT TaskbarCreatedMessage() {
    static const UINT message = ::RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

Win32TrayWindow::Win32TrayWindow(HINSTANCE instance, HICON icon) : instance_(instance), icon_(icon) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowThunk<Win32TrayWindow>::Procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = icon;
    windowClass.lpszClassName = kTrayWindowClass;
    ::RegisterClassExW(&windowClass);  // may exist already; that is fine
}

Win32TrayWindow::~Win32TrayWindow() {
    // Going away with the object is not the form's unload: the program ends
    // through "Exit Program", which removed the icon already.
    events_ = nullptr;
    window_.reset();
}

void Win32TrayWindow::load() {
    if (window_) return;
    UINT dpi = ::GetDpiForSystem();
    RECT rect{0, 0, TwipsToPixels(kTrayClientWidthTwips, dpi), TwipsToPixels(kTrayClientHeightTwips, dpi)};
    ::AdjustWindowRectExForDpi(&rect, kStyle, FALSE, kExStyle, dpi);
    HWND window = ::CreateWindowExW(kExStyle, kTrayWindowClass, kTrayCaption, kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                                    rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr, instance_, this);
    if (window == nullptr) throw std::runtime_error("the tray window could not be created");
    window_.reset(window);
    unloaded_ = false;
    ::SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
    ::SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    // An elevated process would otherwise not hear the broadcast.
    ::ChangeWindowMessageFilterEx(window, TaskbarCreatedMessage(), MSGFLT_ALLOW, nullptr);
}

std::wstring Win32TrayWindow::caption() const { return kTrayCaption; }

double Win32TrayWindow::twipsPerPixelX() const {
    UINT dpi = window_ ? ::GetDpiForWindow(window_.get()) : ::GetDpiForSystem();
    return 1440.0 / (dpi == 0 ? 96 : dpi);
}

LRESULT Win32TrayWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_MOUSEMOVE:
            // With a box open, a click brings the box forward and the main
            // window stays as it is: the box wants an answer first, and the
            // window behind it would only be shown disabled. Once the box
            // is answered the icon toggles the window again.
            if (IsToggleClick(LOWORD(lParam)) && BringOpenMessageBoxForward()) return 0;
            if (events_ != nullptr) {
                // The icon's callback: the low word carries the mouse
                // message, handed on in twips like any mouse coordinate.
                double twips = twipsPerPixelX();
                events_->onMouseMove(ButtonOf(wParam), ShiftOf(wParam), LOWORD(lParam) * twips,
                                     HIWORD(lParam) * twips);
            }
            return 0;
        case WM_CLOSE:
            unload();
            ::DestroyWindow(window_.release());
            return 0;
        case WM_DESTROY:
            unload();
            return 0;
        default:
            if (message == TaskbarCreatedMessage() && events_ != nullptr) {
                events_->onTaskbarCreated();
                return 0;
            }
            break;
    }
    return ::DefWindowProcW(window_.get(), message, wParam, lParam);
}

void Win32TrayWindow::unload() {
    if (unloaded_) return;
    unloaded_ = true;
    if (events_ != nullptr) events_->onUnload();
}

}  // namespace hb::win32
