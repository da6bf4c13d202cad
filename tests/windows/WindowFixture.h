#pragma once
// The real main window wired to Form1, with fakes for every other port, and
// a tap between them that records the events the window raises.

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "shell/Form1.h"
#include "support/FakePorts.h"
#include "support/TempFolder.h"
#include "win32/ControlIds.h"
#include "win32/Win32MainWindow.h"
#include "windows/MessagePump.h"

namespace hb::test {

// Records every event; hands the window rules (resize, close, focus) on to
// the form. Clicks are only recorded unless a test asks for more.
class EventTap : public FormEvents {
public:
    void onLoad() override { log.push_back(L"load"); }
    void onResize() override {
        log.push_back(L"resize");
        if (form != nullptr) form->onResize();
    }
    void onCloseRequest(bool& cancel) override {
        log.push_back(L"close");
        if (form != nullptr) form->onCloseRequest(cancel);
    }
    void onClick(Control control) override {
        log.push_back(L"click " + std::to_wstring(static_cast<int>(control)));
        if (onClickHook) onClickHook(control);
    }
    // Not logged: every text set from code raises it.
    void onChange(Control control) override {
        if (form != nullptr) form->onChange(control);
    }
    void onGotFocus(Control control) override {
        log.push_back(L"focus " + std::to_wstring(static_cast<int>(control)));
        if (form != nullptr) form->onGotFocus(control);
    }
    void onTimer(Timer timer) override {
        log.push_back(timer == Timer::Timer1 ? L"timer1" : L"updatetimer");
    }
    int count(const std::wstring& entry) const {
        int n = 0;
        for (const auto& e : log) n += e == entry ? 1 : 0;
        return n;
    }
    static std::wstring click(Control control) { return L"click " + std::to_wstring(static_cast<int>(control)); }

    Form1* form = nullptr;
    std::vector<std::wstring> log;
    std::function<void(Control)> onClickHook;
};

class WindowFixture : public ::testing::Test, public FakePorts {
protected:
    WindowFixture() : window(::GetModuleHandleW(nullptr)), form(use(window).use(formShell).ports(), Options{}) {
        // The program's folder (its settings and log) is the test's own.
        process.exeFolder = temp.corePath();
        tap.form = &form;
        window.connect(&tap);
        window.setErrorReporter([this](const std::wstring& message) { reported.push_back(message); });
        // The form's tray icon, as start-up adds it: a minimised window
        // hides only while the icon can bring it back.
        form.systray().PrepareTrayIcon();
        form.systray().AddTrayIcon();
    }

    HWND main() const { return window.handle(); }
    HWND control(win32::ControlId id) const { return window.control(id); }

    // Dispatches pending messages until the condition holds or the time is up.
    static bool pumpUntil(const std::function<bool()>& condition, int timeoutMs = 3000) {
        return PumpUntil(condition, timeoutMs);
    }
    static void pump() {
        pumpUntil([] { return false; }, 50);
    }

    TempFolder temp;
    // The real window in place of the fake.
    win32::Win32MainWindow window;
    // The form's icon goes here, so `shell` sees only what a test's own
    // tray does.
    FakeShell formShell;
    Form1 form;
    EventTap tap;
    std::vector<std::wstring> reported;
};

}  // namespace hb::test
