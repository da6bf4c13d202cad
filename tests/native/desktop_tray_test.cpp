// The tray icon: its record, adding and removing it, decoding the callback
// in both scale modes, and what a click on it does to the main window.

#include <gtest/gtest.h>

#include <vector>

#include "desktop/SysTrayCustomizable.h"
#include "desktop/SysTrayForm.h"
#include "desktop/SystrayMod.h"
#include "fakes/FakeProcess.h"
#include "fakes/FakeShell.h"
#include "fakes/FakeWindow.h"
#include "shell/Form1.h"
#include "support/FormFixture.h"

namespace hb::test {
namespace {

class TrayTest : public ::testing::Test {
protected:
    FakeShell shell;
    FakeTrayWindow trayWindow;
    Latin1Codepage codepage;
    SystrayMod systray{shell, trayWindow, codepage};
    FakeWindow mainWindow;
};

TEST_F(TrayTest, RecordIsFilledFromTheHiddenWindow) {
    systray.PrepareTrayIcon();
    const NotifyIconRecord& record = systray.TrayIconData();
    EXPECT_EQ(trayWindow.loadCount, 1);
    EXPECT_EQ(record.window, 0x1234u);
    EXPECT_EQ(record.id, 1u);
    EXPECT_EQ(record.flags, 7u);  // message, icon and tip are valid
    EXPECT_EQ(record.callbackMessage, 0x200u);
    EXPECT_EQ(record.icon, 0x5678u);
    EXPECT_EQ(record.tip, "HoardbookUploader");
}

TEST_F(TrayTest, AddAndRemovePassTheSameRecord) {
    systray.PrepareTrayIcon();
    systray.AddTrayIcon();
    systray.RemoveTrayIcon();
    ASSERT_EQ(shell.notifyCalls.size(), 2u);
    EXPECT_EQ(shell.notifyCalls[0].operation, TrayOperation::Add);
    EXPECT_EQ(shell.notifyCalls[1].operation, TrayOperation::Delete);
    for (const auto& call : shell.notifyCalls) {
        EXPECT_EQ(call.record.window, 0x1234u);
        EXPECT_EQ(call.record.id, 1u);
        EXPECT_EQ(call.record.flags, 7u);
        EXPECT_EQ(call.record.callbackMessage, 0x200u);
        EXPECT_EQ(call.record.icon, 0x5678u);
        EXPECT_EQ(call.record.tip, "HoardbookUploader");
    }
    EXPECT_FALSE(shell.iconShown);
}

TEST_F(TrayTest, RecordIsFilledOnlyOnce) {
    systray.PrepareTrayIcon();
    // Every add and delete must pass the same record, whatever happens later.
    trayWindow.windowHandle = 0x9999;
    trayWindow.iconHandle = 0x8888;
    trayWindow.captionText = L"Other";
    systray.PrepareTrayIcon();
    EXPECT_EQ(systray.TrayIconData().id, 1u);
    EXPECT_EQ(systray.TrayIconData().window, 0x1234u);
    EXPECT_EQ(systray.TrayIconData().icon, 0x5678u);
    EXPECT_EQ(systray.TrayIconData().tip, "HoardbookUploader");
}

TEST_F(TrayTest, RebuiltNotificationAreaGetsTheIconBack) {
    SysTrayForm form(systray, mainWindow, trayWindow);
    systray.PrepareTrayIcon();
    systray.AddTrayIcon();
    form.onTaskbarCreated();
    ASSERT_EQ(shell.notifyCalls.size(), 2u);
    EXPECT_EQ(shell.notifyCalls[1].operation, TrayOperation::Add);
    EXPECT_EQ(shell.notifyCalls[1].record.window, 0x1234u);
}

TEST_F(TrayTest, RebuiltNotificationAreaDoesNotResurrectARemovedIcon) {
    SysTrayForm form(systray, mainWindow, trayWindow);
    form.onTaskbarCreated();  // before start-up added it
    systray.PrepareTrayIcon();
    systray.AddTrayIcon();
    systray.RemoveTrayIcon();
    form.onTaskbarCreated();
    ASSERT_EQ(shell.notifyCalls.size(), 2u);
    EXPECT_FALSE(shell.iconShown);
}

TEST_F(TrayTest, UnloadingTheHiddenWindowRemovesTheIcon) {
    SysTrayForm form(systray, mainWindow, trayWindow);
    systray.PrepareTrayIcon();
    systray.AddTrayIcon();
    form.onUnload();
    ASSERT_EQ(shell.notifyCalls.size(), 2u);
    EXPECT_EQ(shell.notifyCalls[1].operation, TrayOperation::Delete);
}

// ---- decoding the callback ----

TEST(DecodeTrayMessage, PixelsRoundToNearestWithHalvesToEven) {
    EXPECT_EQ(DecodeTrayMessage(514, ScaleMode::Pixels, 15), 514);
    EXPECT_EQ(DecodeTrayMessage(514.4, ScaleMode::Pixels, 15), 514);
    EXPECT_EQ(DecodeTrayMessage(514.6, ScaleMode::Pixels, 15), 515);
    EXPECT_EQ(DecodeTrayMessage(514.5, ScaleMode::Pixels, 15), 514);
    EXPECT_EQ(DecodeTrayMessage(515.5, ScaleMode::Pixels, 15), 516);
}

TEST(DecodeTrayMessage, TwipsAreDividedByTwipsPerPixel) {
    EXPECT_EQ(DecodeTrayMessage(514 * 15.0, ScaleMode::Twips, 15), 514);
    EXPECT_EQ(DecodeTrayMessage(517 * 12.0, ScaleMode::Twips, 12), 517);  // 120 dots per inch
    EXPECT_EQ(DecodeTrayMessage(515 * 10.0, ScaleMode::Twips, 10), 515);  // 144 dots per inch
    EXPECT_EQ(DecodeTrayMessage(514.5 * 15, ScaleMode::Twips, 15), 514);
    EXPECT_EQ(DecodeTrayMessage(515.5 * 15, ScaleMode::Twips, 15), 516);
    EXPECT_EQ(DecodeTrayMessage(7718, ScaleMode::Twips, 15), 515);  // 514.53
}

class TrayClickTest : public TrayTest {
protected:
    // Delivers the callback for one mouse message as the framework does.
    void callback(int message, ScaleMode mode, double twipsPerPixel) {
        trayWindow.twipsPerPixel = twipsPerPixel;
        SysTrayForm form(systray, mainWindow, trayWindow, mode);
        double x = mode == ScaleMode::Pixels ? message : message * twipsPerPixel;
        form.onMouseMove(0, 0, x, 0);
    }
};

TEST_F(TrayClickTest, ReleasesAndDoubleClickToggleInBothScaleModes) {
    for (ScaleMode mode : {ScaleMode::Twips, ScaleMode::Pixels}) {
        for (int message : {0x202, 0x203, 0x205}) {
            mainWindow.hide();
            callback(message, mode, 15);
            EXPECT_TRUE(mainWindow.visible()) << std::hex << message;
            callback(message, mode, 12);
            EXPECT_FALSE(mainWindow.visible()) << std::hex << message;
        }
    }
}

TEST_F(TrayClickTest, MovesAndPressesChangeNothing) {
    for (int message : {0x200, 0x201, 0x204, 0x206, 0x207, 0x208}) {
        mainWindow.hide();
        callback(message, ScaleMode::Twips, 15);
        EXPECT_FALSE(mainWindow.visible()) << std::hex << message;
        mainWindow.show();
        callback(message, ScaleMode::Pixels, 15);
        EXPECT_TRUE(mainWindow.visible()) << std::hex << message;
    }
}

TEST_F(TrayClickTest, DoubleClickSequenceEndsOppositeLikeASingleClick) {
    mainWindow.show();
    for (int message : {0x201, 0x202, 0x203, 0x202}) callback(message, ScaleMode::Twips, 15);
    EXPECT_FALSE(mainWindow.visible());
}

// ---- what a click does ----

TEST(ToggleMainWindow, HiddenMinimisedWindowComesBackNormal) {
    FakeWindow window;
    window.setState(WindowState::Minimised);
    ToggleMainWindow(window);
    EXPECT_TRUE(window.visible());
    EXPECT_EQ(window.state(), WindowState::Normal);
}

TEST(ToggleMainWindow, VisibleWindowIsHiddenAndKeepsItsState) {
    FakeWindow window;
    window.show();
    window.setState(WindowState::Maximised);
    ToggleMainWindow(window);
    EXPECT_FALSE(window.visible());
    EXPECT_EQ(window.state(), WindowState::Maximised);
    EXPECT_TRUE(window.timerEnabled(Timer::Timer1));
}

class ToggleWithFormTest : public FormFixture {};

TEST_F(ToggleWithFormTest, UserMinimisedWindowComesBackShownAndNormal) {
    // With the form connected, minimising hides the window, and the state
    // change back to normal raises the resize rule before show().
    addTrayIcon();
    window.show();
    window.setState(WindowState::Minimised);
    ASSERT_FALSE(window.visible());
    ToggleMainWindow(window);
    EXPECT_TRUE(window.visible());
    EXPECT_EQ(window.state(), WindowState::Normal);
}

// At logon the notification area may not be ready when the icon is added.
TEST_F(ToggleWithFormTest, AFailedIconAddIsTriedAgainEveryFewSecondsAndTheWindowHidesOnlyOnceItWorks) {
    shell.failingAdds = 3;
    addTrayIcon();
    EXPECT_FALSE(form->systray().iconPresent());
    window.show();
    window.setState(WindowState::Minimised);  // as the automatic login leaves it
    EXPECT_TRUE(window.visible()) << "hidden now, nothing could bring it back";

    int ticks = 0;
    while (!form->systray().iconPresent() && ticks < 60) {
        process.nowMs += 1000;
        form->onTimer(Timer::Timer1);
        ++ticks;
    }
    ASSERT_TRUE(form->systray().iconPresent());
    EXPECT_TRUE(shell.iconShown);
    EXPECT_LE(ticks, 3 * kTrayRetryTicks);
    EXPECT_GE(ticks, 2 * kTrayRetryTicks) << "a few seconds apart, not at every tick";
    EXPECT_FALSE(window.visible()) << "back in the tray, where the icon brings it from";

    // Present: no more adds.
    const std::size_t calls = shell.notifyCalls.size();
    for (int i = 0; i < 20; ++i) form->onTimer(Timer::Timer1);
    EXPECT_EQ(shell.notifyCalls.size(), calls);
}

TEST_F(ToggleWithFormTest, ARebuiltNotificationAreaTakesBackAWindowLeftOnTheTaskbar) {
    shell.failingAdds = 1;
    addTrayIcon();
    window.show();
    window.setState(WindowState::Minimised);
    ASSERT_TRUE(window.visible());
    SysTrayForm trayForm(form->systray(), window, trayWindow);
    trayForm.onTaskbarCreated();
    EXPECT_TRUE(form->systray().iconPresent());
    EXPECT_FALSE(window.visible());
}

TEST_F(ToggleWithFormTest, AnIconThatIsThereAlreadyCountsAsPresent) {
    addTrayIcon();
    shell.failingAdds = 1;  // adding again fails: the icon exists
    form->systray().RestoreTrayIcon();
    EXPECT_TRUE(form->systray().iconPresent());
}

}  // namespace
}  // namespace hb::test
