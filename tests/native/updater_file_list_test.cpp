// The server's file list and which of its names may be written.

#include <gtest/gtest.h>

#include "updater/AddonPaths.h"
#include "updater/FileList.h"
#include "updater/SafeFileName.h"

namespace hb {
namespace {

using Names = std::vector<std::wstring>;

TEST(FileList, SplitsAtCrLfSkippingEmptyPieces) {
    EXPECT_EQ(SplitFileList(L"Hoardbook.toc\r\nHoardbook.lua"), (Names{L"Hoardbook.toc", L"Hoardbook.lua"}));
    EXPECT_EQ(SplitFileList(L"Hoardbook.toc\r\nHoardbook.lua\r\n"), (Names{L"Hoardbook.toc", L"Hoardbook.lua"}));
    EXPECT_EQ(SplitFileList(L"\r\n\r\nA.lua\r\n\r\n\r\nB.lua\r\n\r\n"), (Names{L"A.lua", L"B.lua"}));
    EXPECT_EQ(SplitFileList(L""), Names{});
    EXPECT_EQ(SplitFileList(L"\r\n\r\n"), Names{});
}

TEST(FileList, KeepsNamesVerbatimInListOrder) {
    EXPECT_EQ(SplitFileList(L"Z.lua\r\n My File.lua \r\nA.lua"), (Names{L"Z.lua", L" My File.lua ", L"A.lua"}));
    // Only the pair separates; a lone CR or LF stays inside its piece.
    EXPECT_EQ(SplitFileList(L"A.lua\nB.lua\r\nC\r.lua"), (Names{L"A.lua\nB.lua", L"C\r.lua"}));
    EXPECT_EQ(SplitFileList(L"A.lua\r\r\nB.lua"), (Names{L"A.lua\r", L"B.lua"}));
}

TEST(AddonFileName, AcceptsPlainNamesAndSubfolders) {
    for (const wchar_t* name : {L"Hoardbook.toc", L"Hoardbook.lua", L"My File.lua", L"Libs\\Lib.lua", L"Libs/Lib.lua",
                                L"a..b.lua", L".hidden", L"v1.2..lua", L"CONSOLE.lua", L"COM10.txt", L"Locales\\deDE.lua"}) {
        EXPECT_TRUE(IsSafeAddonFileName(name)) << name;
    }
}

TEST(AddonFileName, RefusesEverythingThatCouldLeaveTheAddonFolder) {
    for (const wchar_t* name : {
             L"..\\..\\..\\Windows\\x.dll", L"../../x.dll", L"Libs\\..\\..\\x.lua", L"Libs/../../x.lua", L"..",
             L"...", L".. ", L". .\\x", L"a\\..", L".", L"Libs\\.\\",                      // dot parts
             L"\\Windows\\x.dll", L"/etc/passwd", L"\\\\server\\share\\x.lua", L"//server/share/x",  // absolute, UNC
             L"\\\\?\\C:\\x", L"\\\\.\\pipe\\x",                                         // device paths
             L"C:\\x.dll", L"C:x.dll", L"c:/x", L"Hoardbook.lua:stream", L"x:",          // drive, stream
             L"Libs\\", L"Libs\\\\x.lua", L"\\",                                         // empty parts
             L"CON", L"nul.lua", L"Libs\\LPT1", L"com1.txt", L"AUX .lua", L"CONOUT$",    // devices
             L"a\tb.lua", L"a\nb.lua", L"a\rb.lua", L"   ",
         }) {
        EXPECT_FALSE(IsSafeAddonFileName(name)) << name;
    }
}

TEST(AddonPaths, JoinWithExactlyOneSeparator) {
    EXPECT_EQ(JoinPath(L"C:\\Games\\WoW\\", kAddonSubfolder), L"C:\\Games\\WoW\\Interface\\Addons\\Hoardbook");
    EXPECT_EQ(JoinPath(L"C:\\Games\\WoW", kAddonSubfolder), L"C:\\Games\\WoW\\Interface\\Addons\\Hoardbook");
    EXPECT_EQ(JoinPath(L"/tmp/game/", L"Hoardbook.toc"), L"/tmp/game/Hoardbook.toc");
    EXPECT_EQ(UpdateBaseUrl(L"127.0.0.1:8080") + L"My File.lua", L"http://127.0.0.1:8080/files/Hoardbook/My File.lua");
}

}  // namespace
}  // namespace hb
