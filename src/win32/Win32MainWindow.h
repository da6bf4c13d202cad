#pragma once
// The main window, Form1, with its controls and two timers. Raises the
// window's events into FormEvents the way the core expects: a state change
// from code raises the resize event before setState returns; setting a
// check box from code raises nothing.

#include <windows.h>

#include <map>

#include "ports/MainWindow.h"
#include "win32/ControlIds.h"
#include "win32/Handles.h"
#include "win32/Win32AppIcon.h"
#include "win32/Win32ErrorBoundary.h"
#include "win32/Win32Fonts.h"
#include "win32/WindowThunk.h"

namespace hb::win32 {

// Sent by a second start of the program to the running one's window.
UINT BringToFrontMessage();

class Win32MainWindow : public MainWindow {
public:
    // Creates the window (hidden) with every control; throws
    // std::runtime_error when the system refuses.
    explicit Win32MainWindow(HINSTANCE instance);
    ~Win32MainWindow() override;
    Win32MainWindow(const Win32MainWindow&) = delete;
    Win32MainWindow& operator=(const Win32MainWindow&) = delete;

    void connect(FormEvents* events) { events_ = events; }
    void setErrorReporter(ErrorReporter report) { report_ = std::move(report); }
    // Raises the load event (the start-up sequence).
    void load();

    HWND handle() const { return window_.get(); }
    HWND control(ControlId id) const { return ::GetDlgItem(window_.get(), id); }
    UINT dpi() const { return dpi_; }

    std::wstring text(Control control) const override;
    void setText(Control control, const std::wstring& text) override;
    std::size_t textLength(Control control) const override;
    void insertTextAtStart(Control control, const std::wstring& text) override;
    void truncateText(Control control, std::size_t length) override;
    bool enabled(Control control) const override;
    void setEnabled(Control control, bool enabled) override;
    int checkValue(Control control) const override;
    void setCheckValue(Control control, int value) override;
    void setSelection(Control control, int start, int length) override;
    void setFocus(Control control) override;
    int itemCount() const override;
    std::wstring itemText(int index) const override;
    bool itemChecked(int index) const override;
    void setItemChecked(int index, bool checked) override;
    void addItem(const std::wstring& text) override;
    void addCheckedItems(const std::vector<std::wstring>& texts) override;
    bool visible() const override;
    void show() override;
    void hide() override;
    void bringToFront() override;
    WindowState state() const override;
    void setState(WindowState state) override;
    bool timerEnabled(Timer timer) const override;
    void setTimerEnabled(Timer timer, bool enabled) override;

private:
    friend struct WindowThunk<Win32MainWindow>;
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void onCommand(int id, int code);
    void createControls();
    void applyDpi(UINT dpi);
    void raise(const std::function<void(FormEvents&)>& event);
    WindowState shownState() const;

    HINSTANCE instance_;
    UniqueWindow window_;
    UINT dpi_ = 96;
    DpiFonts fonts_;
    AppIcon bigIcon_;
    AppIcon smallIcon_;
    FormEvents* events_ = nullptr;
    ErrorReporter report_;
    // The state the window has while hidden, and takes when shown again.
    WindowState hiddenState_ = WindowState::Normal;
    std::map<Timer, bool> timers_;
    HWND focusBeforeDeactivation_ = nullptr;
    bool destroying_ = false;
};

}  // namespace hb::win32
