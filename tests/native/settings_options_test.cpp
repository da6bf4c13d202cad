// "Remember Password" (the question, the answers and the saves they cause)
// and "Run on Startup" (the Run value, machine-wide or for the current user).

#include <gtest/gtest.h>

#include <cwctype>

#include <filesystem>

#include "base/RegistryText.h"
#include "base/Utf8.h"
#include "settings/RunOnStartup.h"
#include "support/ClickEvents.h"
#include "support/FormFixture.h"

namespace hb::test {
namespace {

class RememberPassword : public FormFixture {
protected:
    RememberPassword() {
        window.setText(Control::Login, L"bob");
        window.setText(Control::URL, L"guild.example");
        window.setText(Control::Password, L"secret");
        window.addItem(L"A");
    }
    std::string settingsFile() const { return temp.read("Program/settings.txt"); }
    int saves() const { return counter->replacements[L"settings.txt"]; }
};

TEST_F(RememberPassword, CheckingAsksFirstAndYesStoresThePassword) {
    boxes.answers = {BoxAnswer::Yes};
    window.userClick(Control::RememberPassword);

    ASSERT_EQ(boxes.shown.size(), 1u);
    const MessageBoxRequest& question = boxes.shown[0];
    EXPECT_EQ(question.title, L"Warning!");
    EXPECT_EQ(question.text,
              L"Warning! This is a security risk because your password will be stored on you hard drive.  "
              L"Are you sure you want to have the program remember your password?");
    EXPECT_EQ(question.buttons, BoxButtons::YesNo);
    EXPECT_EQ(question.icon, BoxIcon::Question);
    EXPECT_EQ(question.defaultButton, 1);

    EXPECT_EQ(window.checkValue(Control::RememberPassword), 1);
    EXPECT_EQ(settingsFile(), "bob\r\nguild.example\r\n" + rememberedLine(L"secret") + "\r\n");
    EXPECT_EQ(saves(), 1);
    // Each click also writes the check marks.
    EXPECT_EQ(temp.read("Program/noupload.txt"), "A\r\n");
}

TEST_F(RememberPassword, NoUnchecksTheBoxThroughANestedClickAndSavesTwice) {
    boxes.answers = {BoxAnswer::No};
    window.userClick(Control::RememberPassword);

    EXPECT_EQ(boxes.shown.size(), 1u);  // the nested click asks nothing
    EXPECT_EQ(window.checkValue(Control::RememberPassword), 0);
    EXPECT_EQ(saves(), 2);
    EXPECT_EQ(settingsFile(), "bob\r\nguild.example\r\n\r\n");
}

TEST_F(RememberPassword, UncheckingAsksNothingAndForgetsThePasswordAtOnce) {
    window.userClick(Control::RememberPassword);  // Yes
    boxes.shown.clear();

    window.userClick(Control::RememberPassword);

    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(settingsFile(), "bob\r\nguild.example\r\n\r\n");
    EXPECT_EQ(saves(), 2);
}

TEST_F(RememberPassword, WhileSettingsLoadNoQuestionIsAsked) {
    temp.write("Program/settings.txt", "bob\r\n\r\nsecret\r\n");  // no address, so no login either
    form->LoadSettings();
    EXPECT_EQ(window.checkValue(Control::RememberPassword), 1);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_FALSE(form->settings().LoadingSettings());
    EXPECT_EQ(settingsFile(), "bob\r\n\r\n" + rememberedLine(L"secret") + "\r\n");
}

// Built alone: the box's clicks go to its handler as the form routes them.
class RunOnStartup : public PortsFixture {
protected:
    RunOnStartup() {
        registry.createKey(RegistryRoot::LocalMachine, kRunKey);
        registry.createKey(RegistryRoot::CurrentUser, kRunKey);
        temp.write("Program/HoardbookUploader.exe", "MZ");  // the running program
        events.route(Control::StartWithWindows, [this] { option.StartWithWindows_Click(); });
        window.connect(&events);
    }

    Ports wired = ports();
    ClickEvents events;
    hb::RunOnStartup option{wired.window, events, wired.registry, wired.files, wired.process, messages};

    std::wstring expectedData() const { return L"\"" + programFolder() + L"\\HoardbookUploader.exe\""; }
    // The stored text up to its terminating zero, or nothing; the zero must be there.
    std::optional<std::wstring> stored(RegistryRoot root) const {
        const FakeRegistry::Value* value = registry.find(root, kRunKey, L"HoardbookUploader");
        if (value == nullptr) return std::nullopt;
        EXPECT_EQ(value->type, reg::REG_SZ_TYPE);
        std::wstring text = FromUtf16LeBytes(value->data.data(), value->data.size());
        EXPECT_TRUE(!text.empty() && text.back() == L'\0') << "stored without its terminating zero";
        if (!text.empty()) text.pop_back();
        return text;
    }
    bool boxChecked() const { return window.checkValue(Control::StartWithWindows) == 1; }
};

TEST_F(RunOnStartup, TheValueNamesTheGivenFileInTheGivenFolder) {
    EXPECT_EQ(RunValueData(L"C:\\Tools", L"HoardbookUploader.exe"), L"\"C:\\Tools\\HoardbookUploader.exe\"");
    EXPECT_EQ(RunValueData(L"C:\\Tools", L"Hoardbook (1).exe"), L"\"C:\\Tools\\Hoardbook (1).exe\"");
    EXPECT_STREQ(kRunKeyPath, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run");
}

TEST_F(RunOnStartup, CheckingWritesTheMachineWideValueAndUncheckingRemovesIt) {
    window.userClick(Control::StartWithWindows);

    EXPECT_EQ(stored(RegistryRoot::LocalMachine), expectedData());
    EXPECT_EQ(stored(RegistryRoot::CurrentUser), std::nullopt);
    EXPECT_TRUE(option.IsRunOnStartup());
    EXPECT_TRUE(boxChecked());

    window.userClick(Control::StartWithWindows);

    EXPECT_EQ(stored(RegistryRoot::LocalMachine), std::nullopt);
    EXPECT_FALSE(option.IsRunOnStartup());
    EXPECT_FALSE(boxChecked());
    EXPECT_TRUE(messages.entries.empty());
    EXPECT_EQ(registry.openKeys(), 0);
}

TEST_F(RunOnStartup, WithoutAdministratorRightsTheCurrentUsersValueIsWritten) {
    registry.denyWrite(RegistryRoot::LocalMachine, kRunKey);

    window.userClick(Control::StartWithWindows);

    EXPECT_EQ(stored(RegistryRoot::LocalMachine), std::nullopt);
    EXPECT_EQ(stored(RegistryRoot::CurrentUser), expectedData());
    EXPECT_TRUE(boxChecked());
    EXPECT_TRUE(option.IsRunOnStartup());
    EXPECT_TRUE(messages.entries.empty());

    window.userClick(Control::StartWithWindows);
    EXPECT_EQ(stored(RegistryRoot::CurrentUser), std::nullopt);
    EXPECT_FALSE(option.IsRunOnStartup());
}

TEST_F(RunOnStartup, UncheckingRemovesBothValues) {
    registry.putString(RegistryRoot::LocalMachine, kRunKey, L"HoardbookUploader", expectedData());
    registry.putString(RegistryRoot::CurrentUser, kRunKey, L"HoardbookUploader", expectedData());
    window.setCheckValue(Control::StartWithWindows, 1);

    window.userClick(Control::StartWithWindows);

    EXPECT_EQ(stored(RegistryRoot::LocalMachine), std::nullopt);
    EXPECT_EQ(stored(RegistryRoot::CurrentUser), std::nullopt);
    EXPECT_FALSE(boxChecked());
}

TEST_F(RunOnStartup, TheBoxDoesNotClaimAValueThatCouldNotBeStored) {
    registry.denyWrite(RegistryRoot::LocalMachine, kRunKey);
    registry.denyWrite(RegistryRoot::CurrentUser, kRunKey);

    window.userClick(Control::StartWithWindows);

    EXPECT_FALSE(boxChecked());
    EXPECT_FALSE(option.IsRunOnStartup());
    EXPECT_TRUE(messages.has(L"Run on Startup could not be stored"));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(RunOnStartup, TheBoxStaysCheckedWhenTheMachineWideValueCannotBeRemoved) {
    registry.putString(RegistryRoot::LocalMachine, kRunKey, L"HoardbookUploader", expectedData());
    registry.denyWrite(RegistryRoot::LocalMachine, kRunKey);
    window.setCheckValue(Control::StartWithWindows, 1);

    window.userClick(Control::StartWithWindows);

    EXPECT_TRUE(boxChecked());
    EXPECT_EQ(stored(RegistryRoot::LocalMachine), expectedData());
    EXPECT_EQ(stored(RegistryRoot::CurrentUser), std::nullopt);
    EXPECT_TRUE(messages.has(L"administrator rights"));
}

TEST_F(RunOnStartup, AStaleMachineWideValueThatCannotBeReplacedFallsBackToTheCurrentUser) {
    registry.putString(RegistryRoot::LocalMachine, kRunKey, L"HoardbookUploader", L"\"C:\\Old\\HoardbookUploader.exe\"");
    registry.denyWrite(RegistryRoot::LocalMachine, kRunKey);

    window.userClick(Control::StartWithWindows);

    EXPECT_EQ(stored(RegistryRoot::CurrentUser), expectedData());
    EXPECT_TRUE(boxChecked());
}

TEST_F(RunOnStartup, AProgramFolderOutsideTheCodePageIsStoredIntact) {
    // Not "...\Lukasz ...", a folder that does not exist, while the box shows checked.
    const std::wstring name = L"\u0141ukasz \u041B\u0435\u043D\u0430 \u5C0F\u660E";
    const std::string utf8 = ToUtf8(name);
    temp.write(std::filesystem::path(std::u8string(utf8.begin(), utf8.end())) / "HoardbookUploader.exe", "MZ");
    process.exeFolder = temp.corePath() + sep() + name;

    window.userClick(Control::StartWithWindows);

    EXPECT_EQ(stored(RegistryRoot::LocalMachine), L"\"" + process.exeFolder + L"\\HoardbookUploader.exe\"");
    EXPECT_TRUE(option.IsRunOnStartup());
    EXPECT_TRUE(boxChecked());
}

TEST_F(RunOnStartup, ExactlyOneValueRemainsWhereverTheValueWasBefore) {
    // Two values start two copies at logon. The start-up check of the box
    // rewrites the value; with both keys writable (an elevated start) it must
    // keep the value in place, and a check replaces a stale one elsewhere.
    struct Case {
        const char* what;
        std::optional<std::wstring> machineBefore, userBefore;
        RegistryRoot expectedIn;
    };
    const std::wstring old = L"\"C:\\Old\\HoardbookUploader.exe\"";
    const Case cases[] = {
        {"the current user's value, found at start-up", std::nullopt, expectedData(), RegistryRoot::CurrentUser},
        {"the machine-wide value, found at start-up", expectedData(), std::nullopt, RegistryRoot::LocalMachine},
        {"both already", expectedData(), expectedData(), RegistryRoot::LocalMachine},
        {"a stale current user's value", std::nullopt, old, RegistryRoot::LocalMachine},
        {"a stale machine-wide value beside this program's", old, expectedData(), RegistryRoot::CurrentUser},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        registry = FakeRegistry();
        registry.createKey(RegistryRoot::LocalMachine, kRunKey);
        registry.createKey(RegistryRoot::CurrentUser, kRunKey);
        if (c.machineBefore) registry.putString(RegistryRoot::LocalMachine, kRunKey, kRunValueName, *c.machineBefore);
        if (c.userBefore) registry.putString(RegistryRoot::CurrentUser, kRunKey, kRunValueName, *c.userBefore);
        window.setCheckValue(Control::StartWithWindows, 0);

        // What start-up does when the value names this program, and what a user's check does.
        if (option.IsRunOnStartup()) {
            SetCheckBox(window, events, Control::StartWithWindows, 1);
        } else {
            window.userClick(Control::StartWithWindows);
        }

        const RegistryRoot other =
            c.expectedIn == RegistryRoot::LocalMachine ? RegistryRoot::CurrentUser : RegistryRoot::LocalMachine;
        EXPECT_EQ(stored(c.expectedIn), expectedData());
        EXPECT_EQ(stored(other), std::nullopt);
        EXPECT_TRUE(boxChecked());
        EXPECT_EQ(registry.openKeys(), 0);
    }
}

TEST_F(RunOnStartup, IsRunOnStartupWantsExactlyThisProgramsData) {
    struct Case {
        const char* what;
        std::function<void()> arrange;
        bool expected;
    };
    const std::wstring data = expectedData();
    std::wstring otherCase = data;
    for (auto& c : otherCase) c = static_cast<wchar_t>(std::towupper(c));
    ASSERT_NE(otherCase, data);
    const Case cases[] = {
        {"missing", [] {}, false},
        {"machine-wide", [&] { registry.putString(RegistryRoot::LocalMachine, kRunKey, L"HoardbookUploader", data); }, true},
        {"current user", [&] { registry.putString(RegistryRoot::CurrentUser, kRunKey, L"HoardbookUploader", data); }, true},
        {"other letter case",
         [&] { registry.putString(RegistryRoot::LocalMachine, kRunKey, L"HoardbookUploader", otherCase); }, false},
        {"unquoted",
         [&] { registry.putString(RegistryRoot::LocalMachine, kRunKey, L"HoardbookUploader", data.substr(1, data.size() - 2)); },
         false},
        {"another folder",
         [&] { registry.putString(RegistryRoot::CurrentUser, kRunKey, L"HoardbookUploader", L"\"C:\\Old\\HoardbookUploader.exe\""); },
         false},
        {"a number",
         [&] { registry.put(RegistryRoot::LocalMachine, kRunKey, L"HoardbookUploader", reg::REG_DWORD_TYPE, {1, 0, 0, 0}); },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        registry = FakeRegistry();
        registry.createKey(RegistryRoot::LocalMachine, kRunKey);
        registry.createKey(RegistryRoot::CurrentUser, kRunKey);
        c.arrange();
        EXPECT_EQ(option.IsRunOnStartup(), c.expected);
        EXPECT_FALSE(boxChecked());  // reading changes nothing
    }
}

TEST_F(RunOnStartup, ARenamedProgramsValueNamesItsOwnFile) {
    process.exeName = L"HoardbookUploader (1).exe";
    temp.write("Program/HoardbookUploader (1).exe", "MZ");
    const std::wstring data = L"\"" + programFolder() + L"\\HoardbookUploader (1).exe\"";

    window.userClick(Control::StartWithWindows);

    EXPECT_EQ(stored(RegistryRoot::LocalMachine), data);
    EXPECT_TRUE(boxChecked());
    EXPECT_TRUE(option.IsRunOnStartup());
}

TEST_F(RunOnStartup, OnlyAValueNamingThisProgramOrTheDocumentedNameBesideItThatIsThereCounts) {
    // The running program is "Uploader.exe"; an earlier version wrote the
    // documented name for any file name.
    process.exeName = L"Uploader.exe";
    std::filesystem::remove(temp.path() / "Program" / "HoardbookUploader.exe");
    temp.write("Program/Uploader.exe", "MZ");
    const std::wstring running = L"\"" + programFolder() + L"\\Uploader.exe\"";
    const std::wstring documented = L"\"" + programFolder() + L"\\HoardbookUploader.exe\"";
    struct Case {
        const char* what;
        std::wstring data;
        bool documentedThere;
        bool expected;
    };
    const Case cases[] = {
        {"this program's own file", running, false, true},
        {"the documented name, a file that is there", documented, true, true},
        {"the documented name, a file that is not there: Windows starts nothing", documented, false, false},
        {"another file in this folder", L"\"" + programFolder() + L"\\Other.exe\"", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        registry = FakeRegistry();
        registry.createKey(RegistryRoot::LocalMachine, kRunKey);
        registry.createKey(RegistryRoot::CurrentUser, kRunKey);
        registry.putString(RegistryRoot::CurrentUser, kRunKey, kRunValueName, c.data);
        std::filesystem::remove(temp.path() / "Program" / "HoardbookUploader.exe");
        if (c.documentedThere) temp.write("Program/HoardbookUploader.exe", "MZ");
        EXPECT_EQ(option.IsRunOnStartup(), c.expected);
    }

    // Start-up finds the documented name there: the box is checked, and its
    // click names the running file from then on, in one value.
    registry = FakeRegistry();
    registry.createKey(RegistryRoot::LocalMachine, kRunKey);
    registry.createKey(RegistryRoot::CurrentUser, kRunKey);
    registry.putString(RegistryRoot::CurrentUser, kRunKey, kRunValueName, documented);
    temp.write("Program/HoardbookUploader.exe", "MZ");
    ASSERT_TRUE(option.IsRunOnStartup());
    SetCheckBox(window, events, Control::StartWithWindows, 1);
    EXPECT_TRUE(boxChecked());
    EXPECT_EQ(stored(RegistryRoot::LocalMachine).value_or(stored(RegistryRoot::CurrentUser).value_or(L"")), running);
    EXPECT_EQ(stored(RegistryRoot::LocalMachine).has_value() + stored(RegistryRoot::CurrentUser).has_value(), 1);
}

}  // namespace
}  // namespace hb::test
