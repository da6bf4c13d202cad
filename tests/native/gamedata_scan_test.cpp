// The character scan over real folders: entry texts and order, the rules
// for names, case and duplicates, repeated walks, folder links, folders
// that cannot be listed and the bound on the number of entries.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>

#include "gamedata/CharacterScan.h"
#include "fakes/FakeProgramExit.h"
#include "gamedata/EntryList.h"
#include "gamedata/ListCursor.h"
#include "support/FormFixture.h"

namespace hb::test {
namespace {

namespace fs = std::filesystem;

// A real file system that counts what a walk asks of it and fails the
// listing of the folders it is told to fail (after giving their entries).
class WatchedFileSystem : public FileSystem {
public:
    explicit WatchedFileSystem(std::unique_ptr<FileSystem> real) : real_(std::move(real)) {}

    FolderListing list(const std::wstring& folder) override {
        ++listings[folder];
        FolderListing listing = real_->list(folder);
        if (hideLinks) {
            for (FolderEntry& entry : listing.entries) entry.isLink = false;
        }
        for (const auto& failing : failingFolders) {
            if (folder.size() >= failing.size() && folder.compare(folder.size() - failing.size(), failing.size(),
                                                                  failing) == 0) {
                listing.status = FolderListing::Status::Failed;
                listing.error = L"Access is denied.";
            }
        }
        return listing;
    }
    std::optional<std::string> readAll(const std::wstring& path, std::wstring& error) override {
        ++reads;
        return real_->readAll(path, error);
    }
    bool writeAll(const std::wstring& path, const std::string& bytes, std::wstring& error) override {
        return real_->writeAll(path, bytes, error);
    }
    bool replaceAtomically(const std::wstring& path, const std::string& bytes, std::wstring& error) override {
        return real_->replaceAtomically(path, bytes, error);
    }
    std::optional<FileTime> lastWriteTime(const std::wstring& path, std::wstring& error) override {
        ++times;
        return real_->lastWriteTime(path, error);
    }
    bool folderExists(const std::wstring& path) override { return real_->folderExists(path); }
    bool pathExists(const std::wstring& path) override { return real_->pathExists(path); }
    bool createFolder(const std::wstring& path, std::wstring& error) override {
        return real_->createFolder(path, error);
    }
    bool folderWritable(const std::wstring& folder) override { return real_->folderWritable(folder); }
    bool appendToFile(const std::wstring& path, const std::string& bytes, std::wstring& error) override {
        return real_->appendToFile(path, bytes, error);
    }
    std::optional<std::uint64_t> fileSize(const std::wstring& path) override { return real_->fileSize(path); }
    std::optional<std::wstring> resolvedPath(const std::wstring& path) override {
        return hideLinks ? std::nullopt : real_->resolvedPath(path);
    }
    std::optional<FolderIdentity> folderIdentity(const std::wstring& path) override {
        return real_->folderIdentity(path);
    }

    std::map<std::wstring, int> listings;
    std::set<std::wstring> failingFolders;  // folder names (path endings) whose listing fails
    // Links look like ordinary folders, as Wine shows Unix symbolic links
    // (and every system shows a bind mount).
    bool hideLinks = false;
    int reads = 0;
    int times = 0;

private:
    std::unique_ptr<FileSystem> real_;
};

// The scan built alone, over the list, the file system, the game's folders
// and a log.
class CharacterScan : public PortsFixture {
protected:
    CharacterScan() { installGame(); }

    WatchedFileSystem* watchFiles() {
        auto watchedFiles = std::make_unique<WatchedFileSystem>(std::move(files));
        WatchedFileSystem* watching = watchedFiles.get();
        files = std::move(watchedFiles);
        return watching;
    }

    const std::vector<std::wstring>& logged() const { return messages.entries; }

    // Makes a folder link; skips the test where the platform's library
    // cannot (MinGW's runtime under Wine has no symbolic links).
    bool link(const fs::path& target, const fs::path& at) {
        std::error_code error;
        fs::create_directory_symlink(target, at, error);
        return !error;
    }

    WatchedFileSystem* watched = watchFiles();
    FakeProgramExit programExit{process};
    GameFolders folders{registry, boxes, programExit};
    EntryList listed{window};
    hb::CharacterScan scan{listed, *files, nullptr, folders, messages};
};

#define LINK_OR_SKIP(target, at) \
    if (!link(target, at)) GTEST_SKIP() << "folder links cannot be made here"

TEST_F(CharacterScan, NestedLayoutsGiveRelativeEntryTexts) {
    // Both folder layouts of the game: per account and per character.
    addSavedData("ACCOUNTA", "a");
    addSavedData("ACCOUNTA\\Realm\\Alice", "b");
    addSavedData("ACCOUNTA\\Realm\\Bob", "c");
    scan.LoadfilesFromHardDrive();

    std::vector<std::wstring> texts = entries();
    EXPECT_EQ(std::set<std::wstring>(texts.begin(), texts.end()),
              (std::set<std::wstring>{L"ACCOUNTA", L"ACCOUNTA\\Realm\\Alice", L"ACCOUNTA\\Realm\\Bob"}));
    EXPECT_EQ(texts.size(), 3u);
    for (const auto& item : window.items) EXPECT_TRUE(item.checked);
    for (const Entry entry : listed.all()) EXPECT_FALSE(listed.LastModified(entry)) << "nothing uploaded yet";
}

TEST_F(CharacterScan, AFoldersFilesComeFirstAndASubTreeIsFinishedBeforeTheNext) {
    temp.write(account() / "ONE" / "Sub" / "Deeper" / "Hoardbook.lua", "x");
    temp.write(account() / "ONE" / "Sub" / "Hoardbook.lua", "x");
    temp.write(account() / "ONE" / "Hoardbook.lua", "x");
    temp.write(account() / "ONE" / "Zzz" / "Hoardbook.lua", "x");
    temp.write(account() / "TWO" / "Hoardbook.lua", "x");
    scan.LoadfilesFromHardDrive();
    std::vector<std::wstring> texts = entries();
    ASSERT_EQ(texts.size(), 5u);
    auto at = [&](const std::wstring& text) {
        return static_cast<int>(std::find(texts.begin(), texts.end(), text) - texts.begin());
    };
    int one = at(L"ONE");
    int two = at(L"TWO");
    // The listing decides which account comes first; either way each
    // account's entries stay together, its own file first, depth first.
    EXPECT_EQ(std::abs(one - two) == 1 || std::abs(one - two) == 4, true);
    EXPECT_EQ(at(L"ONE\\Sub\\Deeper"), at(L"ONE\\Sub") + 1);
    std::set<int> below{at(L"ONE\\Sub"), at(L"ONE\\Sub\\Deeper"), at(L"ONE\\Zzz")};
    EXPECT_EQ(*below.begin(), one + 1);
    EXPECT_EQ(*below.rbegin(), one + 3);
}

TEST_F(CharacterScan, TheFileNameMatchesInAnyCaseButNothingElse) {
    temp.write(account() / "UPPER" / "SavedVariables" / "HOARDBOOK.LUA", "x");
    temp.write(account() / "lower" / "SavedVariables" / "hoardbook.lua", "x");
    temp.write(account() / "Mixed" / "SavedVariables" / "HoArDbOoK.lUa", "x");
    temp.write(account() / "Backup" / "SavedVariables" / "Hoardbook.lua.bak", "x");
    temp.write(account() / "Old" / "SavedVariables" / "Hoardbook.lua.old", "x");
    temp.write(account() / "Other" / "SavedVariables" / "Hoardbook.lu", "x");
    scan.LoadfilesFromHardDrive();
    std::vector<std::wstring> texts = entries();
    EXPECT_EQ(std::set<std::wstring>(texts.begin(), texts.end()),
              (std::set<std::wstring>{L"UPPER", L"lower", L"Mixed"}));
}

TEST_F(CharacterScan, NamesBeginningWithAFullStopAreNeitherEnteredNorConsidered) {
    temp.write(account() / ".git" / "SavedVariables" / "Hoardbook.lua", "x");
    temp.write(account() / ".Hidden" / "Deeper" / "SavedVariables" / "Hoardbook.lua", "x");
    temp.write(account() / "SHOWN" / "SavedVariables" / ".Hoardbook.lua", "x");
    temp.write(account() / "SHOWN" / "SavedVariables" / "Hoardbook.lua", "x");
    scan.LoadfilesFromHardDrive();
    EXPECT_EQ(entries(), std::vector<std::wstring>{L"SHOWN"});
}

TEST_F(CharacterScan, EntryTextsDifferingOnlyInCaseGiveOneEntry) {
    addSavedData("myaccount", "x");
    addSavedData("MyAccount", "x");
    addSavedData("MYACCOUNT", "x");
    scan.LoadfilesFromHardDrive();
    ASSERT_EQ(entries().size(), 1u);
    EXPECT_TRUE(scan.InListAlready(L"MyAccount"));
}

TEST_F(CharacterScan, AccentedNamesDifferingOnlyInCaseGiveOneEntry) {
    // The name as UTF-8 source text, which every platform converts to its own.
    temp.write(account() / "ACCT" / "Realm" / fs::path(u8"\u00C9lodie") / "SavedVariables" / "Hoardbook.lua", "x");
    scan.LoadfilesFromHardDrive();
    ASSERT_EQ(entries().size(), 1u);
    EXPECT_TRUE(scan.InListAlready(L"ACCT\\REALM\\\u00C9LODIE"));
    EXPECT_TRUE(scan.InListAlready(L"acct\\realm\\\u00E9lodie"));
    EXPECT_FALSE(scan.InListAlready(L"ACCT\\Realm\\Elodie"));
    EXPECT_FALSE(scan.InListAlready(L"ACCT\\Realm"));
}

TEST_F(CharacterScan, ASecondWalkAddsNothingAndKeepsMarksAndStamps) {
    addSavedData("A", "x");
    addSavedData("B", "x");
    scan.LoadfilesFromHardDrive();
    window.items[0].checked = false;
    listed.uploaded(Entry(0), {111, 1});
    listed.uploaded(Entry(1), {222, 2});
    scan.LoadfilesFromHardDrive();
    ASSERT_EQ(entries().size(), 2u);
    EXPECT_FALSE(window.items[0].checked);
    EXPECT_TRUE(window.items[1].checked);
    EXPECT_EQ(listed.LastModified(Entry(0)), (FileStamp{111, 1}));
    EXPECT_EQ(listed.LastModified(Entry(1)), (FileStamp{222, 2}));
}

TEST_F(CharacterScan, AFileCreatedBetweenWalksIsAppendedCheckedWithStampZero) {
    addSavedData("A", "x");
    addSavedData("B", "x");
    scan.LoadfilesFromHardDrive();
    std::vector<std::wstring> before = entries();
    window.items[1].checked = false;
    listed.uploaded(Entry(0), {111, 1});
    listed.uploaded(Entry(1), {222, 2});

    addSavedData("A\\Realm\\NewCharacter", "x");
    scan.LoadfilesFromHardDrive();
    std::vector<std::wstring> after = entries();
    ASSERT_EQ(after.size(), 3u);
    EXPECT_EQ(after[0], before[0]);
    EXPECT_EQ(after[1], before[1]);
    EXPECT_EQ(after[2], L"A\\Realm\\NewCharacter");
    EXPECT_TRUE(window.items[0].checked);
    EXPECT_FALSE(window.items[1].checked);
    EXPECT_TRUE(window.items[2].checked);
    // Each entry keeps its own stamp; the new one has none.
    EXPECT_EQ(listed.LastModified(Entry(0)), (FileStamp{111, 1}));
    EXPECT_EQ(listed.LastModified(Entry(1)), (FileStamp{222, 2}));
    EXPECT_FALSE(listed.LastModified(Entry(2)));
}

TEST_F(CharacterScan, AFileInTheAccountFolderItselfIsNamedByTheFullPath) {
    temp.write(account() / "Hoardbook.lua", "x");
    scan.LoadfilesFromHardDrive();
    ASSERT_EQ(entries().size(), 1u);
    EXPECT_EQ(entries()[0], folders.GetAccountDir());
}

TEST_F(CharacterScan, AMissingAccountFolderLeavesTheListEmptyAndSaysNothing) {
    scan.LoadfilesFromHardDrive();
    EXPECT_TRUE(entries().empty());
    EXPECT_TRUE(logged().empty());
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(CharacterScan, AWalkListsEachFolderOnceAndReadsNoFileOrTime) {
    addSavedData("A\\Realm\\One", "x");
    addSavedData("B", "x");
    temp.write(account() / "B" / "SavedVariables" / "Other.lua", "x");
    scan.LoadfilesFromHardDrive();
    watched->listings.clear();
    watched->reads = watched->times = 0;

    scan.LoadfilesFromHardDrive();
    EXPECT_EQ(watched->reads, 0);
    EXPECT_EQ(watched->times, 0);
    // Account, A, A\Realm, A\Realm\One, its SavedVariables, B, its SavedVariables.
    EXPECT_EQ(watched->listings.size(), 7u);
    for (const auto& [folder, count] : watched->listings) {
        EXPECT_EQ(count, 1) << std::string(folder.begin(), folder.end());
    }
}

// Each link test runs twice: with links shown as links, and with links that
// look like ordinary folders, where only folder identity can tell.
class CharacterScanLinks : public CharacterScan, public ::testing::WithParamInterface<bool> {
protected:
    CharacterScanLinks() { watched->hideLinks = GetParam(); }
};

INSTANTIATE_TEST_SUITE_P(Links, CharacterScanLinks, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "LookingLikeFolders" : "ShownAsLinks";
                         });

TEST_P(CharacterScanLinks, ALinkBackUpTheTreeEndsTheWalk) {
    addSavedData("ACCT\\Realm\\Alice", "x");
    // Realm/Loop -> the account folder: followed blindly, this never ends.
    LINK_OR_SKIP(account(), account() / "ACCT" / "Realm" / "Loop");
    LINK_OR_SKIP(account() / "ACCT", account() / "ACCT" / "Realm" / "Alice" / "Up");
    // The relative form "ln -s ../.." makes under Wine.
    LINK_OR_SKIP(fs::path("..") / "..", account() / "ACCT" / "Realm" / "Relative");
    scan.LoadfilesFromHardDrive();
    EXPECT_EQ(entries(), std::vector<std::wstring>{L"ACCT\\Realm\\Alice"});
    // No folder was listed twice.
    for (const auto& [folder, count] : watched->listings) {
        EXPECT_EQ(count, 1) << std::string(folder.begin(), folder.end());
    }
    scan.LoadfilesFromHardDrive();
    EXPECT_EQ(entries().size(), 1u);
}

TEST_P(CharacterScanLinks, ALinkAboveTheAccountFolderIsNotEntered) {
    // Followed, it leads over the whole game folder, where the add-on's own
    // Hoardbook.lua would pass for saved data.
    addSavedData("ACCT", "x");
    temp.write(fs::path("Game") / "Interface" / "AddOns" / "Hoardbook" / "SavedVariables" / "Hoardbook.lua", "x");
    LINK_OR_SKIP(temp.path() / "Game", account() / "ACCT" / "Game");
    LINK_OR_SKIP(temp.path(), account() / "Everything");
    scan.LoadfilesFromHardDrive();
    EXPECT_EQ(entries(), std::vector<std::wstring>{L"ACCT"});
}

TEST_P(CharacterScanLinks, ALinkToAFolderOutsideTheTreeIsWalkedOnce) {
    // A player keeps one account elsewhere and links it in, twice.
    temp.write(fs::path("Elsewhere") / "SavedVariables" / "Hoardbook.lua", "x");
    temp.write(fs::path("Elsewhere") / "Realm" / "Bob" / "SavedVariables" / "Hoardbook.lua", "x");
    addSavedData("LOCAL", "x");
    LINK_OR_SKIP(temp.path() / "Elsewhere", account() / "SHARED");
    LINK_OR_SKIP(temp.path() / "Elsewhere", account() / "LOCAL" / "AgainShared");
    LINK_OR_SKIP(temp.path() / "Elsewhere" / "Realm", account() / "LOCAL" / "SharedRealm");
    scan.LoadfilesFromHardDrive();

    std::vector<std::wstring> texts = entries();
    std::set<std::wstring> found(texts.begin(), texts.end());
    EXPECT_EQ(found.size(), texts.size());
    EXPECT_EQ(found.count(L"LOCAL"), 1u);
    // Exactly one of the three ways in was walked.
    EXPECT_EQ(texts.size(), 3u) << "one local entry plus the linked account and its character";
    int linkedAccounts =
        static_cast<int>(found.count(L"SHARED")) + static_cast<int>(found.count(L"LOCAL\\AgainShared"));
    EXPECT_EQ(linkedAccounts, 1);
}

TEST_P(CharacterScanLinks, ALinkIntoTheTreeIsNotWalkedASecondTime) {
    addSavedData("ACCT\\Realm\\Alice", "x");
    LINK_OR_SKIP(account() / "ACCT" / "Realm", account() / "Shortcut");
    scan.LoadfilesFromHardDrive();
    if (GetParam()) {
        // Unseen, the link is one more way to the same folder: whichever the
        // listing gives first is walked, the other is not.
        ASSERT_EQ(entries().size(), 1u);
        EXPECT_TRUE(entries()[0] == L"ACCT\\Realm\\Alice" || entries()[0] == L"Shortcut\\Alice");
    } else {
        EXPECT_EQ(entries(), std::vector<std::wstring>{L"ACCT\\Realm\\Alice"});
    }
}

TEST_P(CharacterScanLinks, ADanglingLinkIsSkipped) {
    addSavedData("ACCT", "x");
    LINK_OR_SKIP(temp.path() / "Gone", account() / "Dangling");
    scan.LoadfilesFromHardDrive();
    EXPECT_EQ(entries(), std::vector<std::wstring>{L"ACCT"});
}

TEST_F(CharacterScan, AFolderThatCannotBeListedKeepsTheRestAndIsLoggedOnce) {
    addSavedData("GOOD", "x");
    addSavedData("LOCKED\\Realm\\Hidden", "x");
    watched->failingFolders.insert(L"LOCKED");
    scan.LoadfilesFromHardDrive();
    scan.LoadfilesFromHardDrive();
    scan.LoadfilesFromHardDrive();

    std::vector<std::wstring> texts = entries();
    EXPECT_NE(std::find(texts.begin(), texts.end(), L"GOOD"), texts.end());
    std::vector<std::wstring> lines = logged();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find(L"LOCKED"), std::wstring::npos);
    EXPECT_NE(lines[0].find(L"Access is denied."), std::wstring::npos);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(CharacterScan, AFolderThatFailsAgainAfterRecoveringIsLoggedAgain) {
    addSavedData("LOCKED", "x");
    watched->failingFolders.insert(L"LOCKED");
    scan.LoadfilesFromHardDrive();
    watched->failingFolders.clear();
    scan.LoadfilesFromHardDrive();
    watched->failingFolders.insert(L"LOCKED");
    scan.LoadfilesFromHardDrive();
    EXPECT_EQ(logged().size(), 2u);
}

TEST_F(CharacterScan, TheListStopsGrowingWhereCurrentIndexEnds) {
    // 32768 entries fill every index CurrentIndex can hold (0 to 32767).
    for (int i = 0; i < 32768; ++i) listed.add(L"E" + std::to_wstring(i));
    addSavedData("ONEMORE", "x");
    addSavedData("ANOTHER", "x");
    scan.LoadfilesFromHardDrive();
    scan.LoadfilesFromHardDrive();
    EXPECT_EQ(window.items.size(), 32768u);
    EXPECT_EQ(listed.count(), 32768);
    EXPECT_EQ(logged().size(), 1u);

    // The cursor still reaches the last entry and wraps without overflow.
    ListCursor cursor(listed);
    cursor.handled(Entry(32766));
    EXPECT_EQ(cursor.next(), Entry(32767));
    EXPECT_EQ(cursor.next(), Entry(0));
}

TEST_F(CharacterScan, TheDuplicateTestDoesNotGrowWithTheList) {
    // Each text read from the list control is a window message on Windows;
    // comparing every file found with every entry costs n squared of them.
    constexpr int kEntries = 5000;
    for (int i = 0; i < kEntries; ++i) temp.write(account() / (L"C" + std::to_wstring(i)) / "Hoardbook.lua", "x");

    scan.LoadfilesFromHardDrive();
    ASSERT_EQ(window.itemCount(), kEntries);
    const long long firstWalk = window.listReads;
    window.listReads = 0;
    scan.LoadfilesFromHardDrive();
    const long long secondWalk = window.listReads;

    EXPECT_EQ(window.itemCount(), kEntries);
    // A few reads per entry found, not one per entry listed (12.5 and 25
    // million reads).
    EXPECT_LE(firstWalk, 5LL * kEntries);
    EXPECT_LE(secondWalk, 2LL * kEntries);
    EXPECT_TRUE(scan.InListAlready(L"c4999"));
    EXPECT_FALSE(scan.InListAlready(L"C5000"));
}

}  // namespace
}  // namespace hb::test
