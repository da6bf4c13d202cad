// "Run on Startup" against the real registry. Wine's start-up runs whatever
// a Run value names, so every test removes the value again.

#include <gtest/gtest.h>
#include <windows.h>

#include "fakes/FakeHttp.h"
#include "fakes/FakeMessageBoxes.h"
#include "fakes/FakeShell.h"
#include "fakes/FakeWindow.h"
#include "settings/RunOnStartup.h"
#include "settings/registry.h"
#include "shell/Form1.h"
#include "win32/Win32FileSystem.h"
#include "win32/Win32Process.h"
#include "win32/Win32Registry.h"

namespace hb::test {
namespace {

class RunOnStartupInRegistry : public ::testing::Test {
protected:
    RunOnStartupInRegistry()
        : form(Ports{window, boxes, registry, http, files, shell, trayWindow, process, codepage}, Options{}) {
        window.connect(&form);
    }
    ~RunOnStartupInRegistry() override {
        for (RegistryRoot root : {RegistryRoot::LocalMachine, RegistryRoot::CurrentUser}) {
            DeleteRegistryValue(registry, root, kRunKeyPath, kRunValueName);
        }
    }

    RegistryValue stored(RegistryRoot root) { return GetRegistryValue(registry, root, kRunKeyPath, kRunValueName); }

    win32::Win32Registry registry;
    win32::Win32Process process;
    win32::Win32Codepage codepage;
    win32::Win32FileSystem files;
    FakeWindow window;
    FakeMessageBoxes boxes;
    FakeHttpFactory http;
    FakeShell shell;
    FakeTrayWindow trayWindow;
    Form1 form;
};

TEST_F(RunOnStartupInRegistry, CheckingWritesTheQuotedProgramPathAndUncheckingRemovesIt) {
    const std::string expected = "\"" + codepage.toAnsi(process.executableFolder()) + "\\HoardbookUploader.exe\"";
    ASSERT_FALSE(form.IsRunOnStartup());

    window.userClick(Control::StartWithWindows);

    // The machine-wide value where its key (32-bit view) can be written; a
    // fresh Wine prefix has no such key, so there it is the current user's.
    HKEY machineKey = nullptr;
    const bool machineWritable =
        ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKeyPath, 0, KEY_SET_VALUE | KEY_WOW64_32KEY, &machineKey) == 0;
    if (machineKey != nullptr) ::RegCloseKey(machineKey);
    const RegistryRoot written = machineWritable ? RegistryRoot::LocalMachine : RegistryRoot::CurrentUser;
    const RegistryRoot other = machineWritable ? RegistryRoot::CurrentUser : RegistryRoot::LocalMachine;
    EXPECT_EQ(stored(written), RegistryValue(expected));
    EXPECT_EQ(stored(other), RegistryValue());
    EXPECT_TRUE(form.IsRunOnStartup());
    EXPECT_EQ(window.checkValue(Control::StartWithWindows), 1);

    window.userClick(Control::StartWithWindows);

    EXPECT_EQ(stored(RegistryRoot::LocalMachine), RegistryValue());
    EXPECT_EQ(stored(RegistryRoot::CurrentUser), RegistryValue());
    EXPECT_FALSE(form.IsRunOnStartup());
    EXPECT_EQ(window.text(Control::Data), L"");
}

TEST_F(RunOnStartupInRegistry, TheCurrentUsersValueCountsAndIsRemovedToo) {
    const std::string expected = "\"" + codepage.toAnsi(process.executableFolder()) + "\\HoardbookUploader.exe\"";
    SetRegistryString(registry, RegistryRoot::CurrentUser, kRunKeyPath, kRunValueName, expected);
    if (stored(RegistryRoot::CurrentUser) != RegistryValue(expected)) {
        GTEST_SKIP() << "this prefix has no per-user Run key";
    }
    EXPECT_TRUE(form.IsRunOnStartup());

    form.SetCheckBox(Control::StartWithWindows, 1);
    window.userClick(Control::StartWithWindows);

    EXPECT_EQ(stored(RegistryRoot::CurrentUser), RegistryValue());
    EXPECT_FALSE(form.IsRunOnStartup());
}

}  // namespace
}  // namespace hb::test
