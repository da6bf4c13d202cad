// The watcher's rescan with change notifications: a tick walks the account
// tree only when a name below it changed since the last walk, and walks at
// every tick wherever the notifications cannot be trusted. The list it
// leaves is the same either way.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>

#include "UploadsFixture.h"
#include "gamedata/ScheduledWalks.h"

namespace hb::test {
namespace {

namespace fs = std::filesystem;

class WatchedRescan : public UploadsFixture {
protected:
    WatchedRescan() {
        use(changes);
        makeForm();
    }

    // One watcher tick; whether it walked the tree.
    bool tickWalked() {
        const int before = counter->listings;
        form->UpdateTimer_Timer();
        return counter->listings > before;
    }
};

using Entries = std::vector<std::wstring>;

TEST_F(WatchedRescan, AQuietTreeIsWalkedOnlyWhenItsWatchBegins) {
    addEntry("A");
    scanAndLogIn();
    // What happened before the watch began is unknown: that tick walks.
    EXPECT_TRUE(tickWalked());
    EXPECT_EQ(changes.watchesAsked, 1);
    EXPECT_EQ(changes.watchedFolder, form->folders().GetAccountDir());
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(tickWalked()) << "quiet tick " << i;
    EXPECT_EQ(changes.watchesAsked, 1);
    // The ticks still visit the entry: its file's time is what tells a
    // rewrite, which renames nothing.
    EXPECT_EQ(uploads().size(), 1u);
    rewrite("A", "rewritten\r\n", kBaseTime + std::chrono::hours(1));
    EXPECT_FALSE(tickWalked());
    EXPECT_EQ(uploads().back(), "rewritten\r\n");
}

TEST_F(WatchedRescan, ANameCreatedRenamedOrDeletedAfterTheFirstWalkIsSeenAtTheNextTick) {
    addEntry("A");
    scanAndLogIn();
    tickWalked();

    addEntry("A\\Realm\\New");
    changes.signalChange();
    EXPECT_TRUE(tickWalked());
    ASSERT_EQ(entries(), (Entries{L"A", L"A\\Realm\\New"}));
    EXPECT_TRUE(window.items[1].checked);
    EXPECT_FALSE(tickWalked());  // the change was walked once

    fs::rename(account() / "A" / "Realm", account() / "A" / "Moved");
    changes.signalChange();
    const std::size_t sentBefore = uploads().size();
    EXPECT_TRUE(tickWalked());
    EXPECT_EQ(entries(), (Entries{L"A", L"A\\Realm\\New", L"A\\Moved\\New"}));
    EXPECT_TRUE(window.items[2].checked);
    // The entry found by the walk is sent at the tick that found it.
    EXPECT_EQ(uploads().size(), sentBefore + 1);
    EXPECT_EQ(uploads().back(), "A\\Realm\\New\r\n");

    fs::remove_all(account() / "A" / "Moved");
    changes.signalChange();
    EXPECT_TRUE(tickWalked());
    // Entries stay when their folder goes.
    EXPECT_EQ(entries().size(), 3u);
}

TEST_F(WatchedRescan, WithoutNotificationsEveryTickWalks) {
    changes.refuse = true;
    addEntry("A");
    scanAndLogIn();
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(tickWalked()) << "tick " << i;
    // A watch is asked for again at each tick: the folder may have come back.
    EXPECT_EQ(changes.watchesAsked, 3);
    addEntry("B");
    EXPECT_TRUE(tickWalked());
    EXPECT_EQ(entries(), (Entries{L"A", L"B"}));
}

TEST_F(WatchedRescan, ALostWatchMeansAFullWalkAndANewWatch) {
    addEntry("A");
    scanAndLogIn();
    tickWalked();
    // An overflow or an error: what changed meanwhile is unknown.
    addEntry("UNSIGNALLED");
    changes.loseWatch();
    EXPECT_TRUE(tickWalked());
    EXPECT_EQ(changes.watchesAsked, 2);
    EXPECT_EQ(entries(), (Entries{L"A", L"UNSIGNALLED"}));
    EXPECT_FALSE(tickWalked());
}

TEST_F(WatchedRescan, AMissingAccountFolderIsWalkedAtEveryTickUntilItCanBeWatched) {
    changes.refuse = true;  // as the system refuses a folder that is not there
    scanAndLogIn();
    EXPECT_TRUE(tickWalked());
    EXPECT_TRUE(tickWalked());
    changes.refuse = false;
    addEntry("FIRST");
    EXPECT_TRUE(tickWalked());
    EXPECT_EQ(entries(), Entries{L"FIRST"});
    EXPECT_FALSE(tickWalked());
}

TEST_F(WatchedRescan, AMovedGameIsWatchedAfresh) {
    addEntry("A");
    scanAndLogIn();
    tickWalked();
    temp.write(fs::path("Moved") / "WTF" / "Account" / "B" / "SavedVariables" / "Hoardbook.lua", "b\r\n");
    registry.putString(RegistryRoot::LocalMachine, kWowKey, L"InstallPath", temp.corePath("Moved") + sep());
    EXPECT_TRUE(tickWalked());
    EXPECT_EQ(changes.watchesAsked, 2);
    EXPECT_EQ(changes.watchedFolder, form->folders().GetAccountDir());
    EXPECT_EQ(entries(), (Entries{L"A", L"B"}));
}

TEST_F(WatchedRescan, AWalkThatMetAnUnreadableFolderIsRepeatedAtEveryTick) {
    // Becoming readable renames nothing, so no notification would tell.
    addEntry("A");
    addEntry("LOCKED\\Realm\\Char");
    counter->unreadableFolders.insert(L"Realm");
    scanAndLogIn();
    EXPECT_TRUE(tickWalked());
    EXPECT_TRUE(tickWalked());
    EXPECT_EQ(entries(), Entries{L"A"});
    counter->unreadableFolders.clear();
    EXPECT_TRUE(tickWalked());
    EXPECT_EQ(entries(), (Entries{L"A", L"LOCKED\\Realm\\Char"}));
    EXPECT_FALSE(tickWalked());
}

TEST_F(WatchedRescan, AWalkThroughAFolderLinkIsRepeatedAtEveryTick) {
    // The link's target lies outside the watched tree.
    temp.write(fs::path("Elsewhere") / "SavedVariables" / "Hoardbook.lua", "x\r\n");
    addEntry("LOCAL");
    std::error_code error;
    fs::create_directory_symlink(temp.path() / "Elsewhere", account() / "SHARED", error);
    if (error) GTEST_SKIP() << "folder links cannot be made here";
    scanAndLogIn();
    EXPECT_TRUE(tickWalked());
    EXPECT_TRUE(tickWalked());
    temp.write(fs::path("Elsewhere") / "Realm" / "Bob" / "SavedVariables" / "Hoardbook.lua", "b\r\n");
    EXPECT_TRUE(tickWalked());
    Entries found = entries();
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, (Entries{L"LOCAL", L"SHARED", L"SHARED\\Realm\\Bob"}));
}

// The same changes, ticks and clicks for a form with notifications and one
// without: the lists, marks, stamps and uploads stay equal throughout.
TEST_F(WatchedRescan, EntriesMarksAndStampsAreTheSameWithAndWithoutNotifications) {
    // Its own window, boxes, tray window and site; the game, the clock and
    // the rest are this form's.
    struct Unwatched : FakePorts {
        std::unique_ptr<Form1> form;
    } plain;
    plain.use(registry).use(*files).use(shell).use(process).use(codepage).use(protection);
    plain.http.responder = http.responder;
    plain.form = std::make_unique<Form1>(plain.ports(), options);
    plain.window.connect(plain.form.get());
    for (Control box : {Control::URL, Control::Login, Control::Password}) {
        plain.window.setText(box, window.text(box));
    }

    addEntry("ACCT");
    addEntry("ACCT\\Realm\\Alice");
    auto startUp = [&](Form1& form) {
        form.scan().LoadfilesFromHardDrive();
        form.settings().CompareToHardDrive();
        form.Command1_Click();
        form.PrepareWatcher();
    };
    // What each site received, in order: the same entries' data, sent alike.
    auto received = [](const FakeHttpFactory& site) {
        std::vector<std::string> bodies;
        for (const auto& request : site.requests) bodies.push_back(request->body.value_or(""));
        return bodies;
    };
    startUp(*form);
    startUp(*plain.form);

    int step = 0;
    auto tickBoth = [&](bool nameChanged) {
        ++step;
        if (nameChanged) changes.signalChange();
        form->UpdateTimer_Timer();
        plain.form->UpdateTimer_Timer();
        ASSERT_EQ(window.items.size(), plain.window.items.size()) << "step " << step;
        for (std::size_t i = 0; i < window.items.size(); ++i) {
            EXPECT_EQ(window.items[i].text, plain.window.items[i].text) << "step " << step << ", entry " << i;
            EXPECT_EQ(window.items[i].checked, plain.window.items[i].checked) << "step " << step << ", entry " << i;
        }
        EXPECT_EQ(received(http), received(plain.http)) << "step " << step;
    };

    tickBoth(false);
    tickBoth(false);
    addEntry("ACCT\\Realm\\Bob");
    tickBoth(true);
    window.setItemChecked(0, false);
    plain.window.setItemChecked(0, false);
    tickBoth(false);
    rewrite("ACCT\\Realm\\Alice", "more\r\n", kBaseTime + std::chrono::hours(2));
    tickBoth(false);
    tickBoth(false);
    fs::rename(account() / "ACCT" / "Realm", account() / "ACCT" / "Other");
    tickBoth(true);
    addEntry("SECOND");
    addEntry("second\\Realm\\Carol");
    tickBoth(true);
    fs::remove_all(account() / "SECOND");
    tickBoth(true);
    for (int i = 0; i < 6; ++i) tickBoth(false);
    EXPECT_EQ(window.items.size(), 7u);
}

TEST_F(WatchedRescan, LogOutEndsTheWatchAndTheNextLoginStartsAnotherWithAWalk) {
    addEntry("A");
    scanAndLogIn();
    EXPECT_TRUE(tickWalked());
    ASSERT_EQ(changes.openWatches(), 1);
    form->Command3_Click();
    EXPECT_EQ(changes.openWatches(), 0);
    // Whatever happened meanwhile is found by the walk of the next tick.
    addEntry("B");
    EXPECT_FALSE(tickWalked()) << "logged out: no tick does anything";
    form->Command1_Click();
    EXPECT_TRUE(tickWalked());
    EXPECT_EQ(changes.openWatches(), 1);
    EXPECT_EQ(entries(), (Entries{L"A", L"B"}));
}

// Where notifications would hold a handle (Windows), the walk for new
// folders runs on a schedule; known entries are still looked at every tick.
class ScheduledRescan : public UploadsFixture {
protected:
    ScheduledRescan() : scheduled(process) {
        use(scheduled);
        makeForm();
    }
    // A walk of the account tree starts with a listing of the account folder
    // (the game folder's own listing, for its flavours, is no walk).
    bool tickWalked() {
        const int before = counter->listingsByName[L"Account"];
        process.nowMs += 5000;
        form->UpdateTimer_Timer();
        return counter->listingsByName[L"Account"] > before;
    }

    ScheduledWalks scheduled;
};

TEST_F(ScheduledRescan, WalksAtMostOnceAMinuteWhileRewritesGoAtTheNextTick) {
    addEntry("A");
    scanAndLogIn();
    EXPECT_TRUE(tickWalked());  // the first tick walks: nothing was watched before
    addEntry("B");
    int walks = 0;
    int ticksUntilB = 0;
    for (int i = 0; i < 24; ++i) {  // two minutes of ticks
        if (tickWalked()) ++walks;
        if (entries().size() < 2) ++ticksUntilB;
    }
    EXPECT_EQ(walks, 2);
    // The new folder is found by the walk a minute after the first.
    EXPECT_EQ(entries(), (Entries{L"A", L"B"}));
    EXPECT_LE(ticksUntilB, 12);
    // A rewrite of a known entry needs no walk.
    const std::size_t sent = uploads().size();
    rewrite("A", "rewritten\r\n", kBaseTime + std::chrono::hours(1));
    EXPECT_FALSE(tickWalked());
    EXPECT_EQ(uploads().size(), sent + 1);
    EXPECT_EQ(uploads().back(), "rewritten\r\n");
}

}  // namespace
}  // namespace hb::test
