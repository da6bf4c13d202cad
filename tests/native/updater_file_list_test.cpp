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

TEST(FileList, BoundedListKeepsTheFirstNamesAndCountsTheRest) {
    std::wstring text;
    for (std::size_t i = 0; i < kMaxListedFiles + 7; ++i) text += L"F" + std::to_wstring(i) + L".lua\r\n\r\n";
    const BoundedFileList list = SplitBoundedFileList(text);
    ASSERT_EQ(list.names.size(), kMaxListedFiles);
    EXPECT_EQ(list.refused, 7u);
    const Names all = SplitFileList(text);
    EXPECT_EQ(list.names, Names(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(kMaxListedFiles)));

    const BoundedFileList shortList = SplitBoundedFileList(L"A.lua\r\n\r\nB.lua\r\n");
    EXPECT_EQ(shortList.names, (Names{L"A.lua", L"B.lua"}));
    EXPECT_EQ(shortList.refused, 0u);
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

TEST(AddonFileName, RefusesNamesWindowsWouldResolveToAnotherFile) {
    // Windows drops trailing dots and spaces: these would be written as the
    // version file among the ordinary files.
    for (const wchar_t* name : {L"Hoardbook.toc.", L"Hoardbook.toc ", L"Hoardbook.toc. .", L"hoardbook.TOC  ",
                                L"Libs.\\x.lua", L"Libs \\x.lua", L"Hoardbook.lua."}) {
        EXPECT_FALSE(IsSafeAddonFileName(name)) << name;
    }
    // A short alias may name whichever file got it.
    for (const wchar_t* name : {L"HOARDB~1.TOC", L"hoardb~2.toc", L"Libs\\LIBSTU~1\\x.lua", L"HO1A2B~1.TOC"}) {
        EXPECT_FALSE(IsSafeAddonFileName(name)) << name;
    }
    EXPECT_TRUE(IsSafeAddonFileName(L"Notes~draft.txt"));
    EXPECT_TRUE(IsSafeAddonFileName(L"Hoardbook.toc"));
}

TEST(AddonFileName, RefusesNamesLongerThanAPathCanBe) {
    const std::wstring longest = std::wstring(kMaxAddonFileNameLength - 4, L'a') + L".lua";
    const std::wstring tooLong = std::wstring(kMaxAddonFileNameLength - 3, L'a') + L".lua";
    EXPECT_TRUE(IsSafeAddonFileName(longest));
    EXPECT_FALSE(IsSafeAddonFileName(tooLong));
    EXPECT_FALSE(IsSafeAddonFileName(std::wstring(100 * 1024, L'a')));
}

TEST(AddonPaths, JoinWithExactlyOneSeparator) {
    EXPECT_EQ(JoinPath(L"C:\\Games\\WoW\\", kAddonSubfolder), L"C:\\Games\\WoW\\Interface\\Addons\\Hoardbook");
    EXPECT_EQ(JoinPath(L"C:\\Games\\WoW", kAddonSubfolder), L"C:\\Games\\WoW\\Interface\\Addons\\Hoardbook");
    EXPECT_EQ(JoinPath(L"/tmp/game/", L"Hoardbook.toc"), L"/tmp/game/Hoardbook.toc");
    EXPECT_EQ(UpdateBaseUrl(L"127.0.0.1:8080") + L"My File.lua", L"http://127.0.0.1:8080/files/Hoardbook/My File.lua");
}

}  // namespace
}  // namespace hb
