// The game's folders: the install folder from the registry (and the exit
// when it is missing), the account folder, and entry texts.

#include <gtest/gtest.h>

#include <algorithm>

#include "gamedata/EntryList.h"
#include "gamedata/EntryText.h"
#include "gamedata/SavedDataFiles.h"
#include "fakes/FakeProgramExit.h"
#include "support/FormFixture.h"

namespace hb::test {
namespace {

constexpr wchar_t kMissingText[] =
    L"We were unable to locate your World of Warcraft Folder.  Apparently WoW is not properly installed."
    L"\r\n\r\nHoardbookUploader will now exit";

class GameFolders : public FormFixture {
protected:
    void putInstallPath(const std::wstring& path) {
        registry.putString(RegistryRoot::LocalMachine, kWowKey, L"InstallPath", path);
    }
    // Runs the call and expects the "game not found" message and the end of the program.
    template <typename Call>
    void expectExit(Call call) {
        EXPECT_THROW(call(), ProcessEnded);
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].text, kMissingText);
        EXPECT_EQ(boxes.shown[0].title, L"HoardbookUploader");
        EXPECT_EQ(boxes.shown[0].buttons, BoxButtons::Ok);
        EXPECT_EQ(boxes.shown[0].icon, BoxIcon::Stop);
        EXPECT_EQ(process.endCount, 1);
    }
};

TEST_F(GameFolders, TheInstallFolderIsGivenExactlyAsStored) {
    putInstallPath(L"C:\\Games\\World of Warcraft\\");
    EXPECT_EQ(form->folders().GetWoWDir(), L"C:\\Games\\World of Warcraft\\");
    EXPECT_EQ(form->folders().GetAccountDir(), L"C:\\Games\\World of Warcraft\\WTF\\Account");

    putInstallPath(L"C:\\Games\\World of Warcraft");
    EXPECT_EQ(form->folders().GetWoWDir(), L"C:\\Games\\World of Warcraft");
    EXPECT_EQ(form->folders().GetAccountDir(), L"C:\\Games\\World of Warcraft\\WTF\\Account");
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(GameFolders, EveryCallReadsTheRegistryAgainInThe32BitView) {
    putInstallPath(L"C:\\Old");
    EXPECT_EQ(form->folders().GetWoWDir(), L"C:\\Old");
    putInstallPath(L"D:\\New");
    EXPECT_EQ(form->folders().GetWoWDir(), L"D:\\New");
    // Folders that are not there also send the program looking for the game
    // elsewhere (once, with keys of its own); InstallPath is read at each call.
    const auto installPathReads = std::count(registry.accessRequested.begin(), registry.accessRequested.end(),
                                             reg::KEY_QUERY_VALUE_ACCESS | reg::KEY_WOW64_32KEY_ACCESS);
    EXPECT_EQ(installPathReads, 2);
    EXPECT_EQ(registry.openKeys(), 0);
}

TEST_F(GameFolders, AnInstallFolderInAnyScriptIsGivenIntact) {
    // Folder names of players on European, Russian and Chinese systems, and
    // one beyond the 16-bit range; none may turn into "?" or a look-alike.
    for (const wchar_t* folder : {L"C:\\Spiele\\W\u00F6rld", L"C:\\Users\\\u0141ukasz\\Games\\WoW",
                                  L"D:\\\u0418\u0433\u0440\u044B\\WoW\\", L"E:\\\u6E38\u620F\\WoW",
                                  L"F:\\\U0001F409\\WoW"}) {
        putInstallPath(folder);
        EXPECT_EQ(form->folders().GetWoWDir(), folder);
    }
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(GameFolders, TextStoredWithExtraTerminatingZerosEndsAtTheFirst) {
    registry.put(RegistryRoot::LocalMachine, kWowKey, L"InstallPath", reg::REG_SZ_TYPE,
                 {'C', 0, ':', 0, '\\', 0, 'W', 0, 'o', 0, 'W', 0, 0, 0, 0, 0});
    EXPECT_EQ(form->folders().GetWoWDir(), L"C:\\WoW");
    EXPECT_EQ(form->folders().GetAccountDir(), L"C:\\WoW\\WTF\\Account");
}

TEST_F(GameFolders, AMissingValueShowsTheMessageAndEndsTheProgram) {
    expectExit([&] { form->folders().GetWoWDir(); });
}

TEST_F(GameFolders, AMissingKeyShowsTheMessageAndEndsTheProgram) {
    expectExit([&] { form->scan().LoadfilesFromHardDrive(); });
    EXPECT_TRUE(window.items.empty());
}

TEST_F(GameFolders, AnEmptyValueCountsAsMissing) {
    putInstallPath(L"");
    expectExit([&] { form->folders().GetAccountDir(); });
}

TEST_F(GameFolders, ANumberCountsAsMissing) {
    registry.put(RegistryRoot::LocalMachine, kWowKey, L"InstallPath", reg::REG_DWORD_TYPE, {1, 0, 0, 0});
    expectExit([&] { form->folders().GetWoWDir(); });
}

TEST_F(GameFolders, ExpandableAndBinaryValuesCountAsMissing) {
    registry.put(RegistryRoot::LocalMachine, kWowKey, L"InstallPath", reg::REG_EXPAND_SZ_TYPE,
                 {'C', ':', '\\', 0});
    expectExit([&] { form->folders().GetWoWDir(); });

    boxes.shown.clear();
    process.endCount = 0;
    registry.put(RegistryRoot::LocalMachine, kWowKey, L"InstallPath", reg::REG_BINARY_TYPE, {'C', ':', '\\', 0});
    expectExit([&] { form->folders().FormatIt(L"C:\\x"); });
}

TEST_F(GameFolders, LoadingSavedDataWithTheGameGoneEndsTheProgramWhateverTheIndex) {
    expectExit([&] { form->savedData().LoadDataFromHardDrive(form->entries().at(-1)); });
}

TEST_F(GameFolders, FormatItStripsTheAccountFolderAndSavedVariables) {
    putInstallPath(L"C:\\WoW\\");
    const std::wstring account = L"C:\\WoW\\WTF\\Account";
    EXPECT_EQ(form->folders().FormatIt(account + L"\\MYACCOUNT\\SavedVariables"), L"MYACCOUNT");
    EXPECT_EQ(form->folders().FormatIt(account + L"\\MYACCOUNT\\Realm\\Character\\SavedVariables"),
              L"MYACCOUNT\\Realm\\Character");
    EXPECT_EQ(form->folders().FormatIt(account), account);
    EXPECT_EQ(form->folders().FormatIt(account + L"\\MYACCOUNT\\savedvariables"), L"MYACCOUNT\\savedvariables");
    EXPECT_EQ(form->folders().FormatIt(account + L"\\MYACCOUNT\\SavedVariablesOld"), L"MYACCOUNTOld");
    // The prefix is compared with case.
    EXPECT_EQ(form->folders().FormatIt(L"C:\\WOW\\WTF\\Account\\X\\SavedVariables"), L"C:\\WOW\\WTF\\Account\\X");
}

TEST_F(GameFolders, SavedDataFileOfAnEntryRebuildsThePath) {
    putInstallPath(L"C:\\WoW");
    EntryList listed(window);
    FakeProgramExit programExit{process};
    hb::GameFolders folders(registry, boxes, programExit);
    SavedDataFiles savedData(listed, *files, folders);
    const Entry entry = listed.add(L"ACCT\\Realm\\Char");
    EXPECT_EQ(savedData.SavedDataFileOf(entry),
              L"C:\\WoW\\WTF\\Account\\ACCT\\Realm\\Char\\SavedVariables\\Hoardbook.lua");
    EXPECT_EQ(savedData.SavedDataFileOf(std::nullopt), L"");
}

TEST(EntryTextHelpers, RemoveAllWorksInOnePassFromTheStart) {
    EXPECT_EQ(RemoveAll(L"aXbXc", L"X"), L"abc");
    EXPECT_EQ(RemoveAll(L"XXX", L"XX"), L"X");
    // What a removal leaves behind is not searched again.
    EXPECT_EQ(RemoveAll(L"\\Saved\\SavedVariablesVariables", L"\\SavedVariables"), L"\\SavedVariables");
    EXPECT_EQ(RemoveAll(L"abc", L""), L"abc");
    EXPECT_EQ(RemoveAll(L"", L"x"), L"");
}

TEST(EntryTextHelpers, TheSavedDataFileNameMatchesWithoutCaseOnly) {
    EXPECT_TRUE(IsSavedDataFileName(L"Hoardbook.lua"));
    EXPECT_TRUE(IsSavedDataFileName(L"HOARDBOOK.LUA"));
    EXPECT_FALSE(IsSavedDataFileName(L"Hoardbook.lua.bak"));
    EXPECT_FALSE(IsSavedDataFileName(L"Hoardbook_lua"));
    EXPECT_FALSE(IsSavedDataFileName(L"xoardbook.lua"));
}

TEST(EntryTextHelpers, UpperCaseCoversAccentedGreekAndCyrillicLetters) {
    EXPECT_TRUE(SameWithoutCase(L"\u00E9lodie", L"\u00C9LODIE"));     // é / É
    EXPECT_TRUE(SameWithoutCase(L"\u00FF", L"\u0178"));               // ÿ / Ÿ
    EXPECT_TRUE(SameWithoutCase(L"\u0142ukasz", L"\u0141UKASZ"));     // ł / Ł (odd capitals)
    EXPECT_TRUE(SameWithoutCase(L"\u0101", L"\u0100"));               // ā / Ā (even capitals)
    EXPECT_TRUE(SameWithoutCase(L"\u017E", L"\u017D"));               // ž / Ž
    EXPECT_TRUE(SameWithoutCase(L"\u03B1\u03C9", L"\u0391\u03A9"));   // Greek
    EXPECT_TRUE(SameWithoutCase(L"\u0434\u0451", L"\u0414\u0401"));   // Cyrillic
    EXPECT_FALSE(SameWithoutCase(L"\u00F7", L"\u00D7"));              // ÷ and × are no pair
    EXPECT_FALSE(SameWithoutCase(L"abc", L"abd"));
    EXPECT_FALSE(SameWithoutCase(L"abc", L"ab"));
    EXPECT_EQ(UpperCaseOf(L'1'), L'1');
}

}  // namespace
}  // namespace hb::test
