// The keyboard on a message box while an upload started inside the box's
// own loop (a timer tick) waits and pumps the messages itself: Enter, Esc
// and Tab still work the box.

#include <gtest/gtest.h>
#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "win32/Win32Process.h"

namespace hb::test {
namespace {

constexpr wchar_t kTitle[] = L"HoardbookUploader keyboard test";

// What happened inside the wait, for the test to check after the box.
struct WaitInsideBox {
    win32::Win32Process* process = nullptr;
    std::vector<WPARAM> keys;
    bool sawBox = false;
    bool focusMovedToCancel = false;
    bool closedDuringWait = false;
};
WaitInsideBox* g_wait = nullptr;

HWND VisibleBox() {
    HWND box = ::FindWindowW(L"#32770", kTitle);
    return box != nullptr && ::IsWindowVisible(box) ? box : nullptr;
}

// Polls, pumping as an upload's wait does, until the condition holds or
// five seconds are up.
template <typename Condition>
bool WaitPumping(WaitInsideBox& wait, Condition condition) {
    const ULONGLONG start = ::GetTickCount64();
    while (!condition()) {
        if (::GetTickCount64() - start > 5000) return false;
        wait.process->pumpMessages(20);
    }
    return true;
}

// Keys go where the keyboard sends them: the box's focused control.
void PressKey(HWND box, WPARAM key) {
    HWND focus = ::GetFocus();
    HWND target = focus != nullptr && ::GetAncestor(focus, GA_ROOT) == box ? focus : box;
    ::PostMessageW(target, WM_KEYDOWN, key, 1);
    ::PostMessageW(target, WM_KEYUP, key, 0xC0000001);
}

// The timer tick the box's loop dispatches: an upload that waits for the
// network, pumping the messages meanwhile.
void CALLBACK UploadWaitingInsideTheBox(HWND, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(nullptr, timer);
    WaitInsideBox& wait = *g_wait;
    HWND box = nullptr;
    wait.sawBox = WaitPumping(wait, [&] { return (box = VisibleBox()) != nullptr; });
    if (!wait.sawBox) return;
    for (WPARAM key : wait.keys) {
        PressKey(box, key);
        wait.process->pumpMessages(0);  // what a wait does: dispatches everything that arrived
        if (key == VK_TAB) {
            wait.focusMovedToCancel =
                WaitPumping(wait, [&] { return ::GetFocus() == ::GetDlgItem(box, IDCANCEL); });
        }
    }
    wait.closedDuringWait = WaitPumping(wait, [&] { return !::IsWindowVisible(box); });
    if (!wait.closedDuringWait) ::EndDialog(box, IDABORT);  // the test goes on either way
}

class KeyboardOnABoxDuringAWait : public ::testing::Test {
protected:
    void SetUp() override {
        // The program's own window, which the pump hands its keyboard
        // navigation; the box is another window of the thread.
        mainWindow_ = ::CreateWindowExW(0, L"STATIC", L"main", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                                        nullptr, ::GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(mainWindow_, nullptr);
        process_.setMainWindow(mainWindow_);
    }
    void TearDown() override {
        if (mainWindow_ != nullptr) ::DestroyWindow(mainWindow_);
        g_wait = nullptr;
    }

    // Shows an OK/Cancel box; its first tick starts the waiting upload.
    int ShowBoxAndPress(std::initializer_list<WPARAM> keys) {
        wait_.process = &process_;
        wait_.keys = keys;
        g_wait = &wait_;
        ::SetTimer(nullptr, 0, 10, UploadWaitingInsideTheBox);
        return ::MessageBoxW(nullptr, L"The website could not be reached.", kTitle, MB_OKCANCEL | MB_ICONHAND);
    }

    win32::Win32Process process_;
    HWND mainWindow_ = nullptr;
    WaitInsideBox wait_;
};

TEST_F(KeyboardOnABoxDuringAWait, EnterPressesTheDefaultButton) {
    const int answer = ShowBoxAndPress({VK_RETURN});
    ASSERT_TRUE(wait_.sawBox);
    EXPECT_TRUE(wait_.closedDuringWait);
    EXPECT_EQ(answer, IDOK);
}

TEST_F(KeyboardOnABoxDuringAWait, EscapeCancelsTheBox) {
    const int answer = ShowBoxAndPress({VK_ESCAPE});
    ASSERT_TRUE(wait_.sawBox);
    EXPECT_TRUE(wait_.closedDuringWait);
    EXPECT_EQ(answer, IDCANCEL);
}

TEST_F(KeyboardOnABoxDuringAWait, TabMovesToTheNextButtonWhichEnterThenPresses) {
    const int answer = ShowBoxAndPress({VK_TAB, VK_RETURN});
    ASSERT_TRUE(wait_.sawBox);
    EXPECT_TRUE(wait_.focusMovedToCancel);
    EXPECT_TRUE(wait_.closedDuringWait);
    EXPECT_EQ(answer, IDCANCEL);
}

}  // namespace
}  // namespace hb::test
