// The hidden tray window under Wine: what it is, how the icon's callback
// reaches the main window (or an open message box), and "Exit Program" in
// a process of its own.

#include "windows/WindowFixture.h"

#include <cstdio>
#include <functional>

#include "desktop/SysTrayForm.h"
#include "desktop/SystrayMod.h"
#include "win32/Win32AppIcon.h"
#include "win32/Win32Process.h"
#include "win32/Win32Shell.h"
#include "win32/Win32TrayWindow.h"
#include "win32/Win32DataProtection.h"
#include "win32/Win32MessageBoxes.h"

namespace hb::test {
namespace {

using namespace hb::win32;

class TrayWindowTest : public WindowFixture {
protected:
    TrayWindowTest() {
        tray.connect(&trayForm);
        tray.setErrorReporter([this](const std::wstring& message) { reported.push_back(message); });
        systray.PrepareTrayIcon();
    }
    // The shell's callback for one mouse message over the icon.
    void callback(UINT mouseMessage) { ::SendMessageW(tray.window(), WM_MOUSEMOVE, 1, mouseMessage); }

    AppIcon icon{::GetModuleHandleW(nullptr), 16};
    Win32TrayWindow tray{::GetModuleHandleW(nullptr), icon.get()};
    SystrayMod systray{shell, tray, codepage};
    SysTrayForm trayForm{systray, window, tray};
};

TEST_F(TrayWindowTest, HiddenWindowWithCaptionIconAndSize) {
    HWND hidden = tray.window();
    ASSERT_NE(hidden, nullptr);
    EXPECT_EQ(reinterpret_cast<HWND>(tray.handle()), hidden);
    EXPECT_FALSE(::IsWindowVisible(hidden));
    wchar_t text[64] = {};
    ::GetWindowTextW(hidden, text, 64);
    EXPECT_EQ(std::wstring(text), L"HoardbookUploader");
    EXPECT_EQ(tray.caption(), L"HoardbookUploader");
    EXPECT_EQ(::FindWindowW(kTrayWindowClass, nullptr), hidden);
    RECT client{};
    ::GetClientRect(hidden, &client);
    EXPECT_EQ(client.right, 251);  // 3765 twips
    EXPECT_EQ(client.bottom, 171);  // 2565 twips
    EXPECT_NE(tray.icon(), 0u);
    EXPECT_DOUBLE_EQ(tray.twipsPerPixelX(), 15.0);
}

TEST_F(TrayWindowTest, LoadingAgainKeepsTheSameWindow) {
    HWND first = tray.window();
    tray.load();
    EXPECT_EQ(tray.window(), first);
}

TEST_F(TrayWindowTest, RecordNamesTheHiddenWindowAndItsIcon) {
    const NotifyIconRecord& record = systray.TrayIconData();
    EXPECT_EQ(record.window, tray.handle());
    EXPECT_EQ(record.icon, reinterpret_cast<std::uintptr_t>(icon.get()));
    EXPECT_EQ(record.id, 1u);
    EXPECT_EQ(record.flags, 7u);
    EXPECT_EQ(record.callbackMessage, 0x200u);
    EXPECT_EQ(record.tip, "HoardbookUploader");
}

TEST_F(TrayWindowTest, ReleasesAndDoubleClickToggleTheMainWindow) {
    for (UINT message : {0x202u, 0x203u, 0x205u}) {
        SCOPED_TRACE(message);
        ASSERT_FALSE(window.visible());
        callback(message);
        EXPECT_TRUE(window.visible());
        EXPECT_FALSE(::IsIconic(main()));
        callback(message);
        EXPECT_FALSE(window.visible());
    }
}

TEST_F(TrayWindowTest, MovesAndPressesChangeNothing) {
    callback(0x200);
    callback(0x201);
    EXPECT_FALSE(window.visible());
    window.show();
    callback(0x200);
    callback(0x201);
    EXPECT_TRUE(window.visible());
}

TEST_F(TrayWindowTest, ClickBringsAUserMinimisedWindowBackNormal) {
    window.show();
    ::ShowWindow(main(), SW_MINIMIZE);
    ASSERT_FALSE(window.visible());
    callback(0x202);
    EXPECT_TRUE(window.visible());
    EXPECT_FALSE(::IsIconic(main()));
}

TEST_F(TrayWindowTest, RebuiltTaskbarGetsTheIconAgain) {
    systray.AddTrayIcon();
    ::SendMessageW(tray.window(), TaskbarCreatedMessage(), 0, 0);
    ASSERT_EQ(shell.notifyCalls.size(), 2u);
    EXPECT_EQ(shell.notifyCalls[1].operation, TrayOperation::Add);
    EXPECT_EQ(shell.notifyCalls[1].record.window, tray.handle());
}

TEST_F(TrayWindowTest, ClosingTheHiddenWindowRemovesTheIconOnce) {
    systray.AddTrayIcon();
    ::SendMessageW(tray.window(), WM_CLOSE, 0, 0);
    ASSERT_EQ(shell.notifyCalls.size(), 2u);
    EXPECT_EQ(shell.notifyCalls[1].operation, TrayOperation::Delete);
    EXPECT_EQ(tray.window(), nullptr);
}

TEST_F(TrayWindowTest, HandlerFailureStopsAtTheWindow) {
    struct Throwing : TrayEvents {
        void onMouseMove(int, int, double, double) override { throw std::runtime_error("tray boom"); }
        void onUnload() override {}
        void onTaskbarCreated() override {}
    } throwing;
    tray.connect(&throwing);
    callback(0x202);
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0], L"Unexpected error: tray boom");
}

// ---- A message box open while the window is in the tray ----

// What the player sees once the icon was clicked (or a second copy was
// started) while a box is up, noted from inside the box's own loop.
struct SeenWithABoxOpen {
    bool boxFound = false;
    bool boxVisible = false;
    bool boxActive = false;
    bool windowShown = false;
    bool windowUsable = false;
};

// The box's loop runs the thread's timers: this one waits for the box,
// lets `poke` reach the program as the shell (or another copy) would, notes
// what is on screen and then answers the box. Bounded: a box never seen is
// given up after about five seconds, and any box of the thread is closed.
struct BoxScene {
    static inline std::function<void()> poke;
    static inline HWND mainWindow = nullptr;
    static inline SeenWithABoxOpen seen;
    static inline int ticks = 0;

    static void CALLBACK Tick(HWND, UINT, UINT_PTR timer, DWORD) {
        HWND box = ::FindWindowW(L"#32770", L"HoardbookUploader");
        bool ready = box != nullptr && ::IsWindowVisible(box);
        if (!ready && ++ticks < 100) return;
        ::KillTimer(nullptr, timer);
        if (!ready) {
            if (box != nullptr) ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            return;
        }
        seen.boxFound = true;
        poke();
        seen.boxVisible = ::IsWindowVisible(box) != FALSE;
        seen.boxActive = ::GetActiveWindow() == box;
        seen.windowShown = ::IsWindowVisible(mainWindow) != FALSE;
        seen.windowUsable = ::IsWindowEnabled(mainWindow) != FALSE;
        ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(box, IDOK)));
    }

    // Shows a box as the program does, owned by the main window while it
    // is on screen, and returns what `during` left on screen.
    static SeenWithABoxOpen Run(HWND main, std::function<void()> during) {
        poke = std::move(during);
        mainWindow = main;
        seen = {};
        ticks = 0;
        Win32MessageBoxes boxes([main] { return main; });
        MessageBoxRequest request;
        request.text = L"Logged in.";
        ::SetTimer(nullptr, 0, 50, &Tick);
        boxes.show(request);
        return seen;
    }
};

TEST_F(TrayWindowTest, ClickWhileABoxIsOpenBringsTheBoxForwardNotADisabledWindow) {
    ASSERT_FALSE(window.visible());
    SeenWithABoxOpen seen = BoxScene::Run(main(), [this] { callback(0x202); });
    ASSERT_TRUE(seen.boxFound);
    EXPECT_TRUE(seen.boxVisible);
    EXPECT_TRUE(seen.boxActive);
    // Never a window on screen that cannot be clicked or closed.
    EXPECT_FALSE(seen.windowShown && !seen.windowUsable);
    EXPECT_FALSE(seen.windowShown);
    // The box answered, the icon toggles the window as before.
    EXPECT_TRUE(::IsWindowEnabled(main()));
    callback(0x202);
    EXPECT_TRUE(window.visible());
    callback(0x202);
    EXPECT_FALSE(window.visible());
}

// A box owned by the shown window: a click must not hide the owner from
// under it (the box would lose its task-bar button with it).
TEST_F(TrayWindowTest, ClickWhileAnOwnedBoxIsOpenKeepsTheWindowAndActivatesTheBox) {
    window.show();
    ASSERT_TRUE(window.visible());
    SeenWithABoxOpen seen = BoxScene::Run(main(), [this] {
        ::SetActiveWindow(tray.window());  // the player was elsewhere
        callback(0x202);
    });
    ASSERT_TRUE(seen.boxFound);
    EXPECT_TRUE(seen.boxVisible);
    EXPECT_TRUE(seen.boxActive);
    EXPECT_TRUE(seen.windowShown);
    EXPECT_TRUE(window.visible());
    EXPECT_TRUE(::IsWindowEnabled(main()));
}

TEST_F(TrayWindowTest, SecondCopyWhileABoxIsOpenBringsTheBoxForwardNotADisabledWindow) {
    ASSERT_FALSE(window.visible());
    SeenWithABoxOpen seen =
        BoxScene::Run(main(), [this] { ::SendMessageW(main(), BringToFrontMessage(), 0, 0); });
    ASSERT_TRUE(seen.boxFound);
    EXPECT_TRUE(seen.boxVisible);
    EXPECT_TRUE(seen.boxActive);
    EXPECT_FALSE(seen.windowShown && !seen.windowUsable);
    EXPECT_FALSE(seen.windowShown);
    EXPECT_TRUE(::IsWindowEnabled(main()));
}

// ---- "Exit Program", in a child process ----

// The real shell, with a note on the standard error of what was deleted.
class NotingShell : public Win32Shell {
public:
    bool notifyIcon(TrayOperation operation, const NotifyIconRecord& data) override {
        bool done = Win32Shell::notifyIcon(operation, data);
        if (operation == TrayOperation::Add) added = data;
        if (operation == TrayOperation::Delete) {
            bool same = data.window == added.window && data.id == added.id && data.flags == added.flags &&
                        data.callbackMessage == added.callbackMessage && data.icon == added.icon &&
                        data.tip == added.tip;
            // A second delete fails when the first really removed the icon.
            bool gone = !Win32Shell::notifyIcon(TrayOperation::Delete, data);
            std::fprintf(stderr, "deleted=%d same-record=%d gone=%d\n", done ? 1 : 0, same ? 1 : 0, gone ? 1 : 0);
            std::fflush(stderr);
        }
        return done;
    }
    NotifyIconRecord added;
};

// Runs the program's parts with the icon in the notification area, then
// the way out; what follows it must never run.
void ExitWithTheIconShown(const std::function<void(Form1&, Win32MainWindow&)>& wayOut) {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    Win32MainWindow window(instance);
    AppIcon icon(instance, 16);
    Win32TrayWindow tray(instance, icon.get());
    NotingShell shell;
    Win32Process process;
    Win32Codepage codepage;
    Win32DataProtection protection;
    FakePorts fakes;  // the boxes, the registry and the site
    Form1 form(fakes.use(window).use(tray).use(shell).use(process).use(codepage).use(protection).ports(), Options{});
    window.connect(&form);
    window.show();
    window.setTimerEnabled(Timer::UpdateTimer, true);  // logged in: exit must not wait for it
    form.systray().PrepareTrayIcon();
    form.systray().AddTrayIcon();
    wayOut(form, window);
    std::fprintf(stderr, "still running\n");
    std::exit(3);
}

TEST(ExitProgramDeathTest, RemovesTheIconWithTheSameRecordAndEndsTheProcess) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(ExitWithTheIconShown([](Form1&, Win32MainWindow& window) {
                    ::SendMessageW(window.handle(), WM_COMMAND, MAKEWPARAM(kIdCommand2, BN_CLICKED),
                                   reinterpret_cast<LPARAM>(window.control(kIdCommand2)));
                }),
                ::testing::ExitedWithCode(0), "deleted=1 same-record=1 gone=1");
}

// The registry no longer names the game (uninstalled while the program
// runs): the program says so and ends, and its icon goes with it.
TEST(ExitProgramDeathTest, TheGameGoneWhileRunningRemovesTheIconToo) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(ExitWithTheIconShown([](Form1& form, Win32MainWindow&) { form.folders().GetWoWDir(); }),
                ::testing::ExitedWithCode(0), "deleted=1 same-record=1 gone=1");
}

}  // namespace
}  // namespace hb::test
