#pragma once
// Drives a running HoardbookUploader.exe from outside, through its windows,
// the way a user would: typing, clicking, answering message boxes, clicking
// the tray icon. Every wait is bounded.

#include <windows.h>

#include <string>
#include <vector>

namespace hb::e2e {

struct ListEntry {
    std::wstring text;
    bool checked = false;
};

struct MessageBoxSeen {
    HWND window = nullptr;
    std::wstring title;
    std::wstring text;
};

class AppDriver {
public:
    AppDriver() = default;
    ~AppDriver();
    AppDriver(const AppDriver&) = delete;
    AppDriver& operator=(const AppDriver&) = delete;

    // Starts the program with the given working folder.
    bool start(const std::wstring& exePath, const std::wstring& workingFolder);
    // Waits for the main window; false after the timeout.
    bool waitForMainWindow(DWORD timeoutMs);
    bool running() const;
    bool waitForExit(DWORD timeoutMs);
    DWORD exitCode() const;
    void kill();

    HWND mainWindow() const { return main_; }
    HWND control(int id) const;
    std::wstring text(int id) const;
    void setText(int id, const std::wstring& text);
    bool enabled(int id) const;
    int checkState(int id) const;
    // Posts a click, so a modal box it opens does not block the driver.
    void click(int id);
    // Presses Enter with the input focus in the given control.
    void pressEnter(int id);
    bool visible() const;
    void close();
    // Brings the window back to the screen, restored (from the tray when
    // hidden, from the taskbar when minimised); false after the timeout.
    bool bringBack(DWORD timeoutMs = 15000);
    // Brings the window back and presses "Exit Program"; true once the
    // process has ended.
    bool exitProgram();

    std::vector<ListEntry> entries() const;
    int entryCount() const;
    void setEntryChecked(int index, bool checked);

    // The tray icon's callback as the shell sends it.
    void trayMessage(UINT mouseMessage);

    // A message box of the program, if one is open.
    MessageBoxSeen messageBox() const;
    MessageBoxSeen waitForMessageBox(DWORD timeoutMs) const;
    // Presses the button (IDOK, IDYES, IDNO) and waits until the box is gone.
    void answer(const MessageBoxSeen& box, int buttonId) const;
    // Answers with OK the boxes that follow (the first may take up to
    // firstTimeoutMs), until none comes for a few seconds; their texts.
    std::vector<std::wstring> answerBoxes(DWORD firstTimeoutMs = 30000) const;

    // Types the site address, login and password and presses Enter, as a
    // player logs in.
    void logIn(const std::wstring& address, const std::wstring& login, const std::wstring& password);

private:
    PROCESS_INFORMATION process_{};
    HWND main_ = nullptr;
};

// Notification-area icons shown (of any program) on Wine's own tray.
int CountTrayIcons();

// Polls the condition every 50 ms until it holds or the time is up.
template <typename Condition>
bool WaitFor(Condition condition, DWORD timeoutMs) {
    ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition()) return true;
        if (::GetTickCount64() >= deadline) return false;
        ::Sleep(50);
    }
}

}  // namespace hb::e2e
