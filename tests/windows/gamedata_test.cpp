// The character scan over the Win32 file system: hidden and system folders
// and files are not walked, and saved data is read with its line ends.

#include <gtest/gtest.h>
#include <windows.h>

#include "support/FormFixture.h"

namespace hb::test {
namespace {

class WindowsScan : public FormFixture {
protected:
    WindowsScan() { installGame(); }
    std::filesystem::path account() const { return temp.path() / "Game" / "WTF" / "Account"; }
    void setAttributes(const std::filesystem::path& path, DWORD attributes) {
        ASSERT_TRUE(::SetFileAttributesW(path.wstring().c_str(), attributes));
    }
    std::vector<std::wstring> entries() const {
        std::vector<std::wstring> texts;
        for (const auto& item : window.items) texts.push_back(item.text);
        return texts;
    }
};

TEST_F(WindowsScan, HiddenAndSystemFoldersAndFilesAreNotWalked) {
    addSavedData("SHOWN", "x");
    addSavedData("HIDDEN", "x");
    addSavedData("SYSTEM\\Realm\\Char", "x");
    addSavedData("FILEHIDDEN", "x");
    setAttributes(account() / "HIDDEN", FILE_ATTRIBUTE_HIDDEN);
    setAttributes(account() / "SYSTEM", FILE_ATTRIBUTE_SYSTEM);
    setAttributes(account() / "FILEHIDDEN" / "SavedVariables" / "Hoardbook.lua", FILE_ATTRIBUTE_HIDDEN);
    form->LoadfilesFromHardDrive();
    EXPECT_EQ(entries(), std::vector<std::wstring>{L"SHOWN"});
}

TEST_F(WindowsScan, EntriesAndSavedDataRoundTripThroughWindowsPaths) {
    addSavedData("ACCT\\Realm\\Char", "one\ntwo\r");
    form->LoadfilesFromHardDrive();
    ASSERT_EQ(entries(), std::vector<std::wstring>{L"ACCT\\Realm\\Char"});
    EXPECT_EQ(form->LoadDataFromHardDrive(0), "one\ntwo\r\n");
    // The same folder in other case is the same entry on Windows.
    EXPECT_TRUE(form->InListAlready(L"acct\\realm\\char"));
}

}  // namespace
}  // namespace hb::test
