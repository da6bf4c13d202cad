// "Run on Startup" against the real registry. Wine's start-up runs whatever
// a Run value names, so every test removes the value again.

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <optional>

#include "settings/RunOnStartup.h"
#include "base/registry.h"
#include "shell/Form1.h"
#include "support/FakePorts.h"
#include "support/TempFolder.h"
#include "win32/Win32Process.h"
#include "win32/Win32Registry.h"
#include "win32/Win32DataProtection.h"

namespace hb::test {
namespace {

// The form over the real registry, process and files, with the rest faked.
template <class ProcessType>
class FormOverTheRegistry : public ::testing::Test, public FakePorts {
protected:
    FormOverTheRegistry() : form(use(registry).use(process).use(codepage).use(protection).ports(), Options{}) {
        window.connect(&form);
    }

    win32::Win32Registry registry;
    ProcessType process;
    win32::Win32Codepage codepage;
    win32::Win32DataProtection protection;
    Form1 form;
};

class RunOnStartupInRegistry : public FormOverTheRegistry<win32::Win32Process> {
protected:
    ~RunOnStartupInRegistry() override {
        for (RegistryRoot root : {RegistryRoot::LocalMachine, RegistryRoot::CurrentUser}) {
            DeleteRegistryValue(registry, root, kRunKeyPath, kRunValueName);
        }
    }

    RegistryValue stored(RegistryRoot root) { return GetRegistryValue(registry, root, kRunKeyPath, kRunValueName); }
};

TEST_F(RunOnStartupInRegistry, CheckingWritesTheQuotedProgramPathAndUncheckingRemovesIt) {
    // The running test program names itself.
    const std::wstring expected = RunValueData(process.executableFolder(), process.executableFileName());
    ASSERT_FALSE(form.runOnStartup().IsRunOnStartup());

    window.userClick(Control::StartWithWindows);

    // The machine-wide value where its key (32-bit view) can be written; a
    // fresh Wine prefix has no such key, so there it is the current user's.
    HKEY machineKey = nullptr;
    const bool machineWritable =
        ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRunKeyPath, 0, KEY_SET_VALUE | KEY_WOW64_32KEY, &machineKey) == 0;
    if (machineKey != nullptr) ::RegCloseKey(machineKey);
    const RegistryRoot written = machineWritable ? RegistryRoot::LocalMachine : RegistryRoot::CurrentUser;
    const RegistryRoot other = machineWritable ? RegistryRoot::CurrentUser : RegistryRoot::LocalMachine;
    EXPECT_EQ(stored(written), RegistryValue(expected));
    EXPECT_EQ(stored(other), RegistryValue());
    EXPECT_TRUE(form.runOnStartup().IsRunOnStartup());
    EXPECT_EQ(window.checkValue(Control::StartWithWindows), 1);

    window.userClick(Control::StartWithWindows);

    EXPECT_EQ(stored(RegistryRoot::LocalMachine), RegistryValue());
    EXPECT_EQ(stored(RegistryRoot::CurrentUser), RegistryValue());
    EXPECT_FALSE(form.runOnStartup().IsRunOnStartup());
    EXPECT_EQ(window.text(Control::Data), L"");
}

TEST_F(RunOnStartupInRegistry, TheCurrentUsersValueCountsAndIsRemovedToo) {
    const std::wstring expected = RunValueData(process.executableFolder(), process.executableFileName());
    SetRegistryString(registry, RegistryRoot::CurrentUser, kRunKeyPath, kRunValueName, expected);
    if (stored(RegistryRoot::CurrentUser) != RegistryValue(expected)) {
        GTEST_SKIP() << "this prefix has no per-user Run key";
    }
    EXPECT_TRUE(form.runOnStartup().IsRunOnStartup());

    SetCheckBox(window, form, Control::StartWithWindows, 1);
    window.userClick(Control::StartWithWindows);

    EXPECT_EQ(stored(RegistryRoot::CurrentUser), RegistryValue());
    EXPECT_FALSE(form.runOnStartup().IsRunOnStartup());
}

// The Run value's data as the system keeps it (UTF-16), or nothing.
std::optional<std::wstring> StoredRunData(HKEY root) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(root, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", 0,
                        KEY_QUERY_VALUE | KEY_WOW64_32KEY, &key) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    win32::UniqueKey closer(key);
    DWORD type = 0;
    DWORD size = 0;
    if (::RegQueryValueExW(key, L"HoardbookUploader", nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_SZ) {
        return std::nullopt;
    }
    std::wstring data(size / sizeof(wchar_t), L'\0');
    ::RegQueryValueExW(key, L"HoardbookUploader", nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
    data.resize(size / sizeof(wchar_t));
    if (!data.empty() && data.back() == L'\0') data.pop_back();
    return data;
}

// The real process and registry, with the program in a folder the test names.
class ProgramInFolder : public win32::Win32Process {
public:
    std::wstring executableFolder() const override { return folder; }
    std::wstring executableFileName() const override { return L"HoardbookUploader.exe"; }
    std::wstring folder;
};

class RunValueOfAProgramInFolder : public FormOverTheRegistry<ProgramInFolder> {
protected:
    RunValueOfAProgramInFolder() {
        // The machine-wide Run key in the 32-bit view, which a fresh Wine
        // prefix lacks: made for the test and removed again if so.
        HKEY key = nullptr;
        DWORD disposition = 0;
        if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kRunKeyW, 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr,
                              &key, &disposition) == ERROR_SUCCESS) {
            ::RegCloseKey(key);
            madeMachineKey = disposition == REG_CREATED_NEW_KEY;
        }
    }
    ~RunValueOfAProgramInFolder() override {
        for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
            HKEY key = nullptr;
            if (::RegOpenKeyExW(root, kRunKeyW, 0, KEY_SET_VALUE | KEY_WOW64_32KEY, &key) == ERROR_SUCCESS) {
                ::RegDeleteValueW(key, L"HoardbookUploader");
                ::RegCloseKey(key);
            }
        }
        if (madeMachineKey) ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kRunKeyW, KEY_WOW64_32KEY, 0);
    }
    void store(HKEY root, const std::wstring& data) {
        HKEY key = nullptr;
        ASSERT_EQ(::RegOpenKeyExW(root, kRunKeyW, 0, KEY_SET_VALUE | KEY_WOW64_32KEY, &key), ERROR_SUCCESS);
        ::RegSetValueExW(key, L"HoardbookUploader", 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                         static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
        ::RegCloseKey(key);
    }
    std::wstring expectedData() const { return L"\"" + process.folder + L"\\HoardbookUploader.exe\""; }
    // The program in a folder of that name below the temporary folder: the
    // box shows only a value naming a file that is there.
    void placeProgramIn(const std::wstring& name) {
        process.folder = temp.corePath() + L"\\" + name;
        std::filesystem::create_directories(process.folder);
        std::ofstream(std::filesystem::path(process.folder) / L"HoardbookUploader.exe", std::ios::binary) << "MZ";
    }
    TempFolder temp;

    static constexpr const wchar_t* kRunKeyW = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
    bool madeMachineKey = false;
};

TEST_F(RunValueOfAProgramInFolder, AFolderOutsideTheCodePageIsStoredAsItIs) {
    // A user named Łukasz, Лена or 小明 on a Western system: the ANSI functions
    // stored "C:\Users\Lukasz\..." (a program that does not exist), or "?".
    placeProgramIn(L"\u0141ukasz \u041B\u0435\u043D\u0430 \u5C0F\u660E\\Tools");
    ASSERT_FALSE(form.runOnStartup().IsRunOnStartup());

    window.userClick(Control::StartWithWindows);

    std::optional<std::wstring> machine = StoredRunData(HKEY_LOCAL_MACHINE);
    std::optional<std::wstring> user = StoredRunData(HKEY_CURRENT_USER);
    EXPECT_EQ(machine.value_or(user.value_or(L"<none>")), expectedData());
    EXPECT_TRUE(form.runOnStartup().IsRunOnStartup());
    EXPECT_EQ(window.checkValue(Control::StartWithWindows), 1);
}

TEST_F(RunValueOfAProgramInFolder, AnElevatedStartLeavesExactlyOneValue) {
    // Run on Startup was checked without administrator rights (the current
    // user's value); now the program starts with them, and start-up checks
    // the box, which writes the value again.
    placeProgramIn(L"Tools");
    store(HKEY_CURRENT_USER, expectedData());
    ASSERT_TRUE(form.runOnStartup().IsRunOnStartup());

    SetCheckBox(window, form, Control::StartWithWindows, 1);

    std::optional<std::wstring> machine = StoredRunData(HKEY_LOCAL_MACHINE);
    std::optional<std::wstring> user = StoredRunData(HKEY_CURRENT_USER);
    EXPECT_EQ(machine.has_value() + user.has_value(), 1) << "two values start two copies at logon";
    EXPECT_EQ(machine.value_or(user.value_or(L"<none>")), expectedData());
    EXPECT_EQ(window.checkValue(Control::StartWithWindows), 1);
}

}  // namespace
}  // namespace hb::test
