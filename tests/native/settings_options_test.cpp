// "Remember Password" (the question, the answers and the saves they cause)
// and "Run on Startup" (the Run value, machine-wide or for the current user).

#include <gtest/gtest.h>

#include "CountingFileSystem.h"
#include "settings/RunOnStartup.h"
#include "support/FormFixture.h"

namespace hb::test {
namespace {

class RememberPassword : public FormFixture {
protected:
    RememberPassword() {
        auto counting = std::make_unique<CountingFileSystem>(std::move(files));
        counter = counting.get();
        files = std::move(counting);
        makeForm();
        window.setText(Control::Login, L"bob");
        window.setText(Control::URL, L"guild.example");
        window.setText(Control::Password, L"secret");
        window.addItem(L"A");
    }
    std::string settingsFile() const { return temp.read("Program/settings.txt"); }
    int saves() const { return counter->replacements[L"settings.txt"]; }

    CountingFileSystem* counter = nullptr;
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
    EXPECT_EQ(settingsFile(), "bob\r\nguild.example\r\nsecret\r\n");
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
    EXPECT_FALSE(form->LoadingSettings());
    EXPECT_EQ(settingsFile(), "bob\r\n\r\nsecret\r\n");
}

class RunOnStartup : public FormFixture {
protected:
    RunOnStartup() {
        registry.createKey(RegistryRoot::LocalMachine, kRunKey);
        registry.createKey(RegistryRoot::CurrentUser, kRunKey);
    }

    std::string expectedData() const {
        return "\"" + codepage.toAnsi(programFolder()) + "\\HoardbookUploader.exe\"";
    }
    // The stored data with its terminating zero, or nothing.
    std::optional<std::string> stored(RegistryRoot root) const {
        const FakeRegistry::Value* value = registry.find(root, kRunKey, "HoardbookUploader");
        if (value == nullptr) return std::nullopt;
        EXPECT_EQ(value->type, reg::REG_SZ_TYPE);
        return std::string(value->data.begin(), value->data.end());
    }
    std::string withZero(const std::string& text) const { return text + std::string(1, '\0'); }
    bool boxChecked() const { return window.checkValue(Control::StartWithWindows) == 1; }
};

TEST_F(RunOnStartup, TheValueNamesHoardbookUploaderExeInTheGivenFolder) {
    EXPECT_EQ(RunValueData(L"C:\\Tools"), L"\"C:\\Tools\\HoardbookUploader.exe\"");
    EXPECT_STREQ(kRunKeyPath, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run");
}

TEST_F(RunOnStartup, CheckingWritesTheMachineWideValueAndUncheckingRemovesIt) {
    window.userClick(Control::StartWithWindows);

    EXPECT_EQ(stored(RegistryRoot::LocalMachine), withZero(expectedData()));
    EXPECT_EQ(stored(RegistryRoot::CurrentUser), std::nullopt);
    EXPECT_TRUE(form->IsRunOnStartup());
    EXPECT_TRUE(boxChecked());

    window.userClick(Control::StartWithWindows);

    EXPECT_EQ(stored(RegistryRoot::LocalMachine), std::nullopt);
    EXPECT_FALSE(form->IsRunOnStartup());
    EXPECT_FALSE(boxChecked());
    EXPECT_EQ(window.text(Control::Data), L"");
    EXPECT_EQ(registry.openKeys(), 0);
}

TEST_F(RunOnStartup, WithoutAdministratorRightsTheCurrentUsersValueIsWritten) {
    registry.denyWrite(RegistryRoot::LocalMachine, kRunKey);

    window.userClick(Control::StartWithWindows);

    EXPECT_EQ(stored(RegistryRoot::LocalMachine), std::nullopt);
    EXPECT_EQ(stored(RegistryRoot::CurrentUser), withZero(expectedData()));
    EXPECT_TRUE(boxChecked());
    EXPECT_TRUE(form->IsRunOnStartup());
    EXPECT_EQ(window.text(Control::Data), L"");

    window.userClick(Control::StartWithWindows);
    EXPECT_EQ(stored(RegistryRoot::CurrentUser), std::nullopt);
    EXPECT_FALSE(form->IsRunOnStartup());
}

TEST_F(RunOnStartup, UncheckingRemovesBothValues) {
    registry.putString(RegistryRoot::LocalMachine, kRunKey, "HoardbookUploader", expectedData());
    registry.putString(RegistryRoot::CurrentUser, kRunKey, "HoardbookUploader", expectedData());
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
    EXPECT_FALSE(form->IsRunOnStartup());
    EXPECT_NE(window.text(Control::Data).find(L"Run on Startup could not be stored"), std::wstring::npos);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(RunOnStartup, TheBoxStaysCheckedWhenTheMachineWideValueCannotBeRemoved) {
    registry.putString(RegistryRoot::LocalMachine, kRunKey, "HoardbookUploader", expectedData());
    registry.denyWrite(RegistryRoot::LocalMachine, kRunKey);
    window.setCheckValue(Control::StartWithWindows, 1);

    window.userClick(Control::StartWithWindows);

    EXPECT_TRUE(boxChecked());
    EXPECT_EQ(stored(RegistryRoot::LocalMachine), withZero(expectedData()));
    EXPECT_EQ(stored(RegistryRoot::CurrentUser), std::nullopt);
    EXPECT_NE(window.text(Control::Data).find(L"administrator rights"), std::wstring::npos);
}

TEST_F(RunOnStartup, AStaleMachineWideValueThatCannotBeReplacedFallsBackToTheCurrentUser) {
    registry.putString(RegistryRoot::LocalMachine, kRunKey, "HoardbookUploader", "\"C:\\Old\\HoardbookUploader.exe\"");
    registry.denyWrite(RegistryRoot::LocalMachine, kRunKey);

    window.userClick(Control::StartWithWindows);

    EXPECT_EQ(stored(RegistryRoot::CurrentUser), withZero(expectedData()));
    EXPECT_TRUE(boxChecked());
}

TEST_F(RunOnStartup, IsRunOnStartupWantsExactlyThisProgramsData) {
    struct Case {
        const char* what;
        std::function<void()> arrange;
        bool expected;
    };
    const std::string data = expectedData();
    std::string otherCase = data;
    for (auto& c : otherCase) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    ASSERT_NE(otherCase, data);
    const Case cases[] = {
        {"missing", [] {}, false},
        {"machine-wide", [&] { registry.putString(RegistryRoot::LocalMachine, kRunKey, "HoardbookUploader", data); }, true},
        {"current user", [&] { registry.putString(RegistryRoot::CurrentUser, kRunKey, "HoardbookUploader", data); }, true},
        {"other letter case",
         [&] { registry.putString(RegistryRoot::LocalMachine, kRunKey, "HoardbookUploader", otherCase); }, false},
        {"unquoted",
         [&] { registry.putString(RegistryRoot::LocalMachine, kRunKey, "HoardbookUploader", data.substr(1, data.size() - 2)); },
         false},
        {"another folder",
         [&] { registry.putString(RegistryRoot::CurrentUser, kRunKey, "HoardbookUploader", "\"C:\\Old\\HoardbookUploader.exe\""); },
         false},
        {"a number",
         [&] { registry.put(RegistryRoot::LocalMachine, kRunKey, "HoardbookUploader", reg::REG_DWORD_TYPE, {1, 0, 0, 0}); },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        registry = FakeRegistry();
        registry.createKey(RegistryRoot::LocalMachine, kRunKey);
        registry.createKey(RegistryRoot::CurrentUser, kRunKey);
        c.arrange();
        EXPECT_EQ(form->IsRunOnStartup(), c.expected);
        EXPECT_FALSE(boxChecked());  // reading changes nothing
    }
}

}  // namespace
}  // namespace hb::test
