#pragma once
// SysTrayForm's window: never shown, it receives the tray icon's callback
// (delivered as WM_MOUSEMOVE) and the shell's "TaskbarCreated" broadcast.

#include <windows.h>

#include "ports/Shell.h"
#include "win32/Handles.h"
#include "win32/Win32ErrorBoundary.h"
#include "win32/WindowThunk.h"

namespace hb::win32 {

class Win32TrayWindow : public TrayWindow {
public:
    // The icon is not owned; it must outlive this object.
    Win32TrayWindow(HINSTANCE instance, HICON icon);
    ~Win32TrayWindow() override;
    Win32TrayWindow(const Win32TrayWindow&) = delete;
    Win32TrayWindow& operator=(const Win32TrayWindow&) = delete;

    void connect(TrayEvents* events) { events_ = events; }
    void setErrorReporter(ErrorReporter report) { report_ = std::move(report); }

    void load() override;
    std::uintptr_t handle() const override { return reinterpret_cast<std::uintptr_t>(window_.get()); }
    std::uintptr_t icon() const override { return reinterpret_cast<std::uintptr_t>(icon_); }
    std::wstring caption() const override;
    double twipsPerPixelX() const override;

    HWND window() const { return window_.get(); }

private:
    friend struct WindowThunk<Win32TrayWindow>;
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void unload();

    HINSTANCE instance_;
    HICON icon_;
    UniqueWindow window_;
    TrayEvents* events_ = nullptr;
    ErrorReporter report_;
    bool unloaded_ = false;
};

// The shell's broadcast after the notification area was rebuilt.
UINT TaskbarCreatedMessage();

}  // namespace hb::win32
