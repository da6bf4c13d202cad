// "Run on Startup" for a program file with another name than the documented
// one (a second download saved as "HoardbookUploader (1).exe", a renamed
// copy): the Run value names the file that runs, and the box shows only a
// value that starts something.

#include <gtest/gtest.h>

#include <optional>

#include "AppDriver.h"
#include "Scenario.h"
#include "win32/ControlIds.h"

namespace hb::e2e {
namespace {

using namespace hb::win32;

constexpr wchar_t kRunKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kRunValue[] = L"HoardbookUploader";

std::optional<std::wstring> RunValue(HKEY root) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(root, kRunKey, 0, KEY_QUERY_VALUE | KEY_WOW64_32KEY, &key) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    DWORD type = 0;
    DWORD size = 0;
    std::optional<std::wstring> data;
    if (::RegQueryValueExW(key, kRunValue, nullptr, &type, nullptr, &size) == ERROR_SUCCESS && type == REG_SZ) {
        std::wstring text(size / sizeof(wchar_t), L'\0');
        ::RegQueryValueExW(key, kRunValue, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size);
        text.resize(size / sizeof(wchar_t));
        while (!text.empty() && text.back() == L'\0') text.pop_back();
        data = text;
    }
    ::RegCloseKey(key);
    return data;
}

void SetRunValue(HKEY root, const std::wstring& data) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(root, kRunKey, 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_32KEY, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExW(key, kRunValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                     static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
}

void DeleteRunValue(HKEY root) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(root, kRunKey, 0, KEY_SET_VALUE | KEY_WOW64_32KEY, &key) == ERROR_SUCCESS) {
        ::RegDeleteValueW(key, kRunValue);
        ::RegCloseKey(key);
    }
}

class RunOnStartup : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteRunValue(HKEY_LOCAL_MACHINE);
        DeleteRunValue(HKEY_CURRENT_USER);
    }
    // Wine starts whatever a Run value names when a prefix boots.
    void TearDown() override {
        DeleteRunValue(HKEY_LOCAL_MACHINE);
        DeleteRunValue(HKEY_CURRENT_USER);
    }
    Scenario scenario;
};

TEST_F(RunOnStartup, ARenamedProgramsValueNamesItAndTheBoxShowsOnlyAValueThatStartsSomething) {
    scenario.writeSavedData(L"ACCOUNT1", "Hoardbook = { owner = \"Account1\" }\r\n");
    const std::wstring renamed = scenario.copyProgramAs(L"HoardbookUploader (1).exe");
    scenario.removeProgramFile(L"HoardbookUploader.exe");
    // What an earlier version wrote for this program: the documented name,
    // a file that is not there, so Windows starts nothing at logon.
    const std::wstring folder = scenario.programFolder().wstring();
    SetRunValue(HKEY_CURRENT_USER, L"\"" + folder + L"\\HoardbookUploader.exe\"");
    {
        AppDriver app;
        ASSERT_TRUE(app.start(renamed, folder));
        ASSERT_TRUE(app.waitForMainWindow(kStartTimeout));
        ASSERT_TRUE(WaitFor([&] { return app.visible(); }, kStartTimeout));
        EXPECT_EQ(app.checkState(kIdStartWithWindows), BST_UNCHECKED) << "the value names no file";

        app.click(kIdStartWithWindows);
        ASSERT_TRUE(WaitFor([&] { return app.checkState(kIdStartWithWindows) == BST_CHECKED; }, 5000));
        const auto machine = RunValue(HKEY_LOCAL_MACHINE);
        const auto user = RunValue(HKEY_CURRENT_USER);
        EXPECT_EQ(machine.has_value() + user.has_value(), 1) << "exactly one value";
        EXPECT_EQ(machine.value_or(user.value_or(L"<none>")), L"\"" + renamed + L"\"");
        ASSERT_TRUE(app.exitProgram());
    }
    {
        AppDriver app;
        ASSERT_TRUE(app.start(renamed, folder));
        ASSERT_TRUE(app.waitForMainWindow(kStartTimeout));
        ASSERT_TRUE(WaitFor([&] { return app.visible(); }, kStartTimeout));
        EXPECT_TRUE(WaitFor([&] { return app.checkState(kIdStartWithWindows) == BST_CHECKED; }, 5000))
            << "the value names this program";
        ASSERT_TRUE(app.exitProgram());
    }
}

}  // namespace
}  // namespace hb::e2e
