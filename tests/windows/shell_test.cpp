// shell32 through the Shell port: the executable lookup with long paths,
// starting a program, and the notify icon's first-version record.

#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include <filesystem>
#include <fstream>

#include "support/TempFolder.h"
#include "win32/Win32Shell.h"

namespace hb::test {
namespace {

class Win32ShellTest : public ::testing::Test {
protected:
    std::wstring folder() const { return temp.path().wstring(); }

    TempFolder temp;
    win32::Win32Shell shell;
};

TEST_F(Win32ShellTest, FindsAProgramAsItsOwnExecutableEvenOnALongPath) {
    // 255 characters and the ending zero: more than a 255-character buffer
    // holds. (Wine's own lookup fails for longer paths; Windows goes to 259.)
    std::wstring name(255 - folder().size() - 1 - 4, L'p');
    name += L".exe";
    const std::wstring path = folder() + L"\\" + name;
    ASSERT_EQ(path.size(), 255u);
    wchar_t self[MAX_PATH];
    ASSERT_GT(::GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);
    std::filesystem::copy_file(std::filesystem::path(self), std::filesystem::path(path));

    std::wstring executable;
    const std::intptr_t result = shell.findExecutable(name, folder(), executable);
    EXPECT_GT(result, 32);
    EXPECT_EQ(_wcsicmp(executable.c_str(), path.c_str()), 0);
}

TEST_F(Win32ShellTest, FindsAProgramInAFolderOutsideTheCodePage) {
    // The program's own folder under C:\Users\Łukasz, where the scratch file
    // for the lookup lies: through the ANSI functions it was "Lukasz" or "?".
    const std::filesystem::path inside = temp.path() / L"\u0141ukasz \u041B\u0435\u043D\u0430 \u5C0F\u660E";
    std::filesystem::create_directories(inside);
    wchar_t self[MAX_PATH];
    ASSERT_GT(::GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);
    std::filesystem::copy_file(std::filesystem::path(self), inside / L"program.exe");

    std::wstring executable;
    EXPECT_GT(shell.findExecutable(L"program.exe", inside.wstring(), executable), 32);
    EXPECT_EQ(_wcsicmp(executable.c_str(), (inside / L"program.exe").wstring().c_str()), 0);
}

TEST_F(Win32ShellTest, AFileWithoutAssociationIsAFailureResult) {
    temp.write("data.hbnoassociation", "x");
    std::wstring executable = L"unchanged";
    EXPECT_LE(shell.findExecutable(L"data.hbnoassociation", folder(), executable), 32);
}

TEST_F(Win32ShellTest, StartsAProgramWithItsParameters) {
    // cmd writes its parameters' text to a file, so the test sees what arrived.
    const std::wstring out = folder() + L"\\out.txt";
    const std::intptr_t result =
        shell.shellExecute(L"open", L"cmd.exe", L"/c echo http://example.test/a?b=1> \"" + out + L"\"", L"", SW_HIDE);
    ASSERT_GT(result, 32);
    for (int waited = 0; waited < 10000 && !std::filesystem::exists(out); waited += 20) ::Sleep(20);
    std::string text;
    for (int waited = 0; waited < 5000 && text.find('\n') == std::string::npos; waited += 20) {
        ::Sleep(20);
        text = temp.read("out.txt");
    }
    EXPECT_EQ(text.substr(0, text.find_first_of("\r\n")), "http://example.test/a?b=1");
}

TEST_F(Win32ShellTest, AddsModifiesAndDeletesTheNotifyIcon) {
    HWND window = ::CreateWindowExW(0, L"STATIC", L"tray test", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    NotifyIconRecord record;
    record.window = reinterpret_cast<std::uintptr_t>(window);
    record.id = 1;
    record.flags = NIF_ICON | NIF_TIP | NIF_MESSAGE;
    record.callbackMessage = WM_APP + 1;
    record.icon = reinterpret_cast<std::uintptr_t>(::LoadIconW(nullptr, IDI_APPLICATION));
    record.tip = std::string(100, 't');  // longer than the record holds: cut to 63

    EXPECT_TRUE(shell.notifyIcon(TrayOperation::Add, record));
    record.tip = "HoardbookUploader";
    EXPECT_TRUE(shell.notifyIcon(TrayOperation::Modify, record));
    EXPECT_TRUE(shell.notifyIcon(TrayOperation::Delete, record));
    ::DestroyWindow(window);
}

}  // namespace
}  // namespace hb::test
