// Every way the program ends takes the tray icon with it: the shell keeps
// the icon of an ended process until the mouse passes over it, and the
// player then sees an icon of a program that is not running.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "base/registry.h"
#include "support/FormFixture.h"

namespace hb::test {
namespace {

class ProgramExits : public FormFixture {
protected:
    ProgramExits() {
        installGame();
        addSavedData("ACC", "data\r\n");
        process.onEnd = [this] {
            iconShownAtEnd = shell.iconShown;
            callsAtEnd = shell.notifyCalls.size();
        };
    }

    // Runs the program as the player has it (started, its icon in the
    // notification area), then the way out.
    void runUntilTheEnd(const std::function<void()>& wayOut) {
        form->onLoad();
        ASSERT_TRUE(shell.iconShown) << "start-up adds the icon";
        EXPECT_THROW(wayOut(), ProcessEnded);
    }

    void expectIconRemovedBeforeTheEnd() const {
        EXPECT_EQ(process.endCount, 1);
        EXPECT_FALSE(iconShownAtEnd) << "a dead icon stays in the notification area";
        ASSERT_GT(callsAtEnd, 0u);
        EXPECT_EQ(shell.notifyCalls[callsAtEnd - 1].operation, TrayOperation::Delete);
        EXPECT_EQ(shell.notifyCalls[callsAtEnd - 1].record.window, trayWindow.windowHandle)
            << "the record the icon was added with";
    }

    bool iconShownAtEnd = true;
    std::size_t callsAtEnd = 0;
};

TEST_F(ProgramExits, TheExitProgramButton) {
    runUntilTheEnd([&] { form->onClick(Control::Command2); });
    expectIconRemovedBeforeTheEnd();
}

TEST_F(ProgramExits, TheGameFolderGoneFromTheRegistryWhileRunning) {
    runUntilTheEnd([&] {
        DeleteRegistryValue(registry, RegistryRoot::LocalMachine, kWowKey, L"InstallPath");
        form->scan().LoadfilesFromHardDrive();
    });
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, L"HoardbookUploader");
    expectIconRemovedBeforeTheEnd();
}

TEST_F(ProgramExits, NoHttpObjectForALoginByHand) {
    runUntilTheEnd([&] {
        http.available.clear();
        window.texts[Control::URL] = L"guild.example";
        window.texts[Control::Login] = L"ann";
        window.texts[Control::Password] = L"secret";
        form->onClick(Control::Command1);
    });
    ASSERT_FALSE(boxes.shown.empty());
    EXPECT_EQ(boxes.shown.back().text.rfind(L"We were unable to initialize.", 0), 0u);
    expectIconRemovedBeforeTheEnd();
}

TEST_F(ProgramExits, NoHttpObjectForThePeriodicAddonCheck) {
    runUntilTheEnd([&] {
        http.available.clear();
        for (int tick = 0; tick < 1802; ++tick) form->onTimer(Timer::Timer1);
    });
    ASSERT_FALSE(boxes.shown.empty());
    EXPECT_EQ(boxes.shown.back().text.rfind(L"We were unable to initialize.", 0), 0u);
    expectIconRemovedBeforeTheEnd();
}

// Before the icon is added, start-up still ends through the same way out,
// and nothing is added after it.
TEST_F(ProgramExits, NoGameAtStartUpEndsBeforeTheIconIsAdded) {
    DeleteRegistryValue(registry, RegistryRoot::LocalMachine, kWowKey, L"InstallPath");
    EXPECT_THROW(form->onLoad(), ProcessEnded);
    EXPECT_EQ(process.endCount, 1);
    EXPECT_FALSE(iconShownAtEnd);
    ASSERT_EQ(callsAtEnd, shell.notifyCalls.size());
    for (const auto& call : shell.notifyCalls) EXPECT_NE(call.operation, TrayOperation::Add);
}

}  // namespace
}  // namespace hb::test
