// The Win32 process port: where the program runs from and the user's
// folders, as the settings' location and Run on Startup need them, and the
// date and time the log file carries.

#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <filesystem>
#include <regex>

#include "support/TempFolder.h"
#include "win32/Win32Process.h"

namespace hb::test {
namespace {

std::wstring KnownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    std::wstring folder;
    if (SUCCEEDED(::SHGetKnownFolderPath(id, 0, nullptr, &path))) folder = path;
    ::CoTaskMemFree(path);
    return folder;
}

TEST(Win32ProcessTest, NamesTheRunningFileAndItsFolder) {
    win32::Win32Process process;
    EXPECT_EQ(process.executableFileName(), L"process_test.exe");
    EXPECT_TRUE(std::filesystem::exists(process.executableFolder() + L"\\" + process.executableFileName()));
}

TEST(Win32ProcessTest, TheWorkingFolderIsTheCurrentDirectoryWithoutATrailingBackslash) {
    win32::Win32Process process;
    TempFolder temp;
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(temp.path());
    EXPECT_EQ(std::filesystem::path(process.workingFolder()), std::filesystem::path(temp.corePath()));
    EXPECT_NE(process.workingFolder().back(), L'\\');
    std::filesystem::current_path(L"C:\\");
    EXPECT_EQ(process.workingFolder(), L"C:\\") << "a drive's root keeps its backslash";
    std::filesystem::current_path(before);
}

TEST(Win32ProcessTest, TheLocalAppDataFolderIsTheUsersKnownFolder) {
    win32::Win32Process process;
    const std::wstring folder = process.localAppDataFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder, KnownFolder(FOLDERID_LocalAppData));
    EXPECT_TRUE(std::filesystem::is_directory(folder));
}

TEST(Win32ProcessTest, TheVirtualStoreCopyIsThatOfAFolderWindowsRedirects) {
    win32::Win32Process process;
    const std::wstring store = process.localAppDataFolder() + L"\\VirtualStore";
    const std::wstring programFiles = KnownFolder(FOLDERID_ProgramFilesX86);  // where 32-bit programs went
    ASSERT_GT(programFiles.size(), 3u);
    EXPECT_EQ(process.virtualStoreFolder(programFiles + L"\\HoardbookUploader"),
              store + programFiles.substr(2) + L"\\HoardbookUploader");
    const std::wstring system = KnownFolder(FOLDERID_System);  // a start from the Run value works here
    EXPECT_EQ(process.virtualStoreFolder(system), store + system.substr(2));
    // Windows ignores letter case, and so does the test of the folder.
    std::wstring lower = programFiles;
    for (auto& c : lower) c = static_cast<wchar_t>(::towlower(c));
    EXPECT_EQ(process.virtualStoreFolder(lower + L"\\x"), store + lower.substr(2) + L"\\x");

    TempFolder temp;  // below the user's profile: never redirected
    EXPECT_EQ(process.virtualStoreFolder(temp.corePath()), std::nullopt);
    EXPECT_EQ(process.virtualStoreFolder(programFiles + L" Extra\\x"), std::nullopt) << "a sibling, not below it";
    EXPECT_EQ(process.virtualStoreFolder(L"\\\\server\\share\\x"), std::nullopt);
}

TEST(Win32ProcessTest, TheIsoDateAndTimeIsTheLocalTimeNow) {
    win32::Win32Process process;
    SYSTEMTIME before;
    ::GetLocalTime(&before);
    const std::wstring text = process.isoLocalDateTimeText();
    ASSERT_TRUE(std::regex_match(text, std::wregex(L"\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2}"))) << text;
    EXPECT_EQ(std::stoi(text.substr(0, 4)), before.wYear);
    EXPECT_EQ(std::stoi(text.substr(5, 2)), before.wMonth);
}

}  // namespace
}  // namespace hb::test
