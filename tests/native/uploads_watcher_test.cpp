// The change watcher: at each tick, the checked entries whose files differ
// from their last successful upload are queued in the order seen, and the
// first that may go is sent, once its file is whole.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>

#include "UploadsFixture.h"
#include "updater/UpdateSchedule.h"

namespace hb::test {
namespace {

using std::chrono::hours;
using std::chrono::seconds;
using Strings = std::vector<std::string>;

class ChangeWatcher : public UploadsFixture {
protected:
    // UpdateTimer's ticks, 5 s apart.
    void tick(int count = 1) {
        for (int i = 0; i < count; ++i) {
            process.nowMs += 5000;
            form->UpdateTimer_Timer();
        }
    }
    // Ticks until the site got this many requests; false after maxTicks.
    bool tickUntilRequests(std::size_t count, int maxTicks) {
        for (int i = 0; i < maxTicks && http.requests.size() < count; ++i) tick();
        return http.requests.size() >= count;
    }
};

TEST_F(ChangeWatcher, UploadsAnUnchangedFileOnceAndNeverAgain) {
    addEntry("ACCOUNT", "A\r\n");
    scanAndLogIn();

    tick(5);

    EXPECT_EQ(uploads(), Strings{"A\r\n"});
    EXPECT_TRUE(logHas(L"Profile for ACCOUNT changed and was uploaded"));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(ChangeWatcher, SendsEveryEntryInTurnFirstAndThenATouchedFileAtTheNextTick) {
    addEntry("A");
    addEntry("B");
    addEntry("C");
    scanAndLogIn();
    tick(3);  // the first round sends each entry, one per tick
    ASSERT_EQ(uploads(), (Strings{dataOf(0), dataOf(1), dataOf(2)}));

    // Not a round robin any more: the touched entry goes at once, whichever
    // entry was handled last.
    rewrite(nameOf(1), "changed\r\n", kBaseTime + hours(1));
    window.setText(Control::Data, L"");
    tick();
    EXPECT_EQ(uploads(), (Strings{dataOf(0), dataOf(1), dataOf(2), "changed\r\n"}));
    EXPECT_EQ(log(), L"12/5/2026 9:11:00 PM: Profile for " + window.itemText(1) + L" changed and was uploaded\r\n");
    tick(4);
    EXPECT_EQ(uploads().size(), 4u);

    // Changes seen together go in turn from the entry sent last.
    rewrite(nameOf(0), "first\r\n", kBaseTime + hours(2));
    rewrite(nameOf(2), "third\r\n", kBaseTime + hours(2));
    tick(2);
    EXPECT_EQ(uploads(), (Strings{dataOf(0), dataOf(1), dataOf(2), "changed\r\n", "third\r\n", "first\r\n"}));
}

TEST_F(ChangeWatcher, ARewriteWithinTheSameSecondCounts) {
    addEntry("A", "a1\r\n");
    scanAndLogIn();
    tick();
    const auto before = std::filesystem::last_write_time(savedDataFile("A"));
    rewrite("A", "a2\r\n", kBaseTime + std::chrono::milliseconds(1));
    if (std::filesystem::last_write_time(savedDataFile("A")) == before) {
        // MinGW's standard library sets file times to the second only.
        GTEST_SKIP() << "cannot set a sub-second file time here";
    }
    tick();
    EXPECT_EQ(uploads(), (Strings{"a1\r\n", "a2\r\n"}));
}

TEST_F(ChangeWatcher, AnOlderTimeCountsAsAChange) {
    addEntry("A", "a1\r\n");
    scanAndLogIn();
    tick();
    rewrite("A", "restored\r\n", kBaseTime - hours(48));
    tick();
    EXPECT_EQ(uploads(), (Strings{"a1\r\n", "restored\r\n"}));
}

TEST_F(ChangeWatcher, SkipsAnEntryTheUserUnchecked) {
    addEntry("A");
    addEntry("B");
    addEntry("C");
    scanAndLogIn();
    window.setItemChecked(indexOf("B"), false);

    tick(6);

    Strings expected;
    for (int i = 0; i < 3; ++i) {
        if (i != indexOf("B")) expected.push_back(dataOf(i));
    }
    EXPECT_EQ(uploads(), expected);
    EXPECT_FALSE(logHas(L"Profile for B"));
}

TEST_F(ChangeWatcher, SendsNothingWhenEveryEntryIsUncheckedAfterOneWasHandled) {
    addEntry("A", "a\r\n");
    scanAndLogIn();
    tick();
    window.setItemChecked(0, false);
    rewrite("A", "changed\r\n", kBaseTime + hours(1));

    tick(3);

    // An unchecked entry reads as empty data; sending it would overwrite the
    // site's copy with nothing.
    EXPECT_EQ(uploads(), Strings{"a\r\n"});
}

TEST_F(ChangeWatcher, WithNoEntryCheckedOnlyRescans) {
    addEntry("A", "a\r\n");
    scanAndLogIn();
    window.setItemChecked(0, false);
    tick(3);
    EXPECT_TRUE(http.requests.empty());
    // Checked again, it was never sent: it goes at once.
    window.setItemChecked(0, true);
    tick();
    EXPECT_EQ(uploads(), Strings{"a\r\n"});
}

TEST_F(ChangeWatcher, ANewSavedDataFileJoinsCheckedAndIsUploadedAtItsFirstVisit) {
    addEntry("A", "a\r\n");
    scanAndLogIn();
    tick();
    addEntry("NEWCHAR", "new\r\n");

    tick();

    ASSERT_EQ(window.itemCount(), 2);
    EXPECT_EQ(window.itemText(1), L"NEWCHAR");
    EXPECT_TRUE(window.itemChecked(1));
    EXPECT_EQ(uploads(), (Strings{"a\r\n", "new\r\n"}));
    EXPECT_TRUE(logHas(L"Profile for NEWCHAR changed and was uploaded"));
}

TEST_F(ChangeWatcher, ANewSavedDataFileTheExclusionFileNamesJoinsUncheckedAndIsNeverUploaded) {
    // Excluded before the game made the character's folder (or while it was gone).
    temp.write("Program/noupload.txt", "NEWCHAR\r\n");
    addEntry("A", "a\r\n");
    scanAndLogIn();
    tick();
    addEntry("NEWCHAR", "new\r\n");
    addEntry("OTHER", "other\r\n");

    tick(4);

    ASSERT_EQ(window.itemCount(), 3);
    EXPECT_FALSE(window.itemChecked(indexOf("NEWCHAR")));
    EXPECT_TRUE(window.itemChecked(indexOf("OTHER")));
    EXPECT_EQ(uploads(), (Strings{"a\r\n", "other\r\n"}));
    EXPECT_EQ(temp.read("Program/noupload.txt"), "NEWCHAR\r\n");
}

TEST_F(ChangeWatcher, StampsAndLogsSuccessOnlyOnInventoryUploaded) {
    addEntry("A", "a\r\n");
    scanAndLogIn();
    siteReply = L"<html>Not Found</html>\r\n";
    tick();
    EXPECT_TRUE(logHas(L"the website answered \"<html>Not Found</html>  \""));

    siteReply = L"Inventory Uploaded";
    tick();  // the unchanged file is sent again because no upload succeeded
    EXPECT_EQ(uploads().size(), 2u);
    EXPECT_TRUE(logHas(L"Profile for A changed and was uploaded"));
    tick();  // stamped now: not sent again
    EXPECT_EQ(uploads().size(), 2u);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_FALSE(logHas(L"secret pass"));
}

TEST_F(ChangeWatcher, ASiteThatMovesToHttpsWhileWatchedKeepsReceivingAtItsNewAddress) {
    addEntry("A");
    addEntry("B");
    scanAndLogIn();
    window.setCheckValue(Control::RememberPassword, 1);
    siteMovedTo = L"https://guild.example:8443";
    tick();
    tick();

    EXPECT_EQ(uploads(), (std::vector<std::string>{dataOf(0), dataOf(0), dataOf(1)}));
    EXPECT_EQ(http.requests.back()->url, L"https://guild.example:8443/memberbankupload.php");
    EXPECT_EQ(http.requests.size(), 3u) << "only the first upload went to the plain address";
    EXPECT_EQ(window.text(Control::URL), L"https://guild.example:8443");
    EXPECT_EQ(temp.read("Program/settings.txt"),
              "bob\r\nhttps://guild.example:8443\r\n" + rememberedLine(L"secret pass") + "\r\n");
    EXPECT_TRUE(logHas(L"The website moved to https://guild.example:8443; uploads go there from now on"));
    EXPECT_TRUE(logHas(L"Profile for A changed and was uploaded"));
    EXPECT_TRUE(logHas(L"Profile for B changed and was uploaded"));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(ChangeWatcher, AnOutageShowsOneBoxAndTheFileIsSentAgainWhenTheSiteIsBack) {
    addEntry("A", "a\r\n");
    scanAndLogIn();
    siteDown = true;

    tick(4);  // sent at once, after 5 s, then 10 s later (backing off)

    EXPECT_EQ(http.requests.size(), 3u);
    EXPECT_EQ(boxTexts(), std::vector<std::wstring>{L"The server could not be reached"});
    EXPECT_TRUE(logHas(L"Profile for A could not be uploaded: the website did not answer"));
    EXPECT_FALSE(logHas(L"changed and was uploaded"));
    EXPECT_FALSE(logHas(L"secret pass"));

    siteDown = false;
    ASSERT_TRUE(tickUntilRequests(4, 4));
    EXPECT_TRUE(logHas(L"Profile for A changed and was uploaded"));

    // A later outage is news again.
    rewrite("A", "a2\r\n", kBaseTime + hours(1));
    siteDown = true;
    tick(2);
    EXPECT_EQ(boxes.shown.size(), 2u);
}

TEST_F(ChangeWatcher, UploadsGoOnWhileTheOutageBoxIsOpen) {
    addEntry("A", "a\r\n");
    addEntry("B", "b\r\n");
    scanAndLogIn();
    siteDown = true;
    // The box is modal: ticks keep arriving while the user has not answered
    // it, and the site comes back meanwhile.
    bool bothSentWhileBoxOpen = false;
    boxes.onShow = [&](const MessageBoxRequest&) {
        siteDown = false;
        tick(2);
        bothSentWhileBoxOpen = logHas(L"Profile for A changed and was uploaded") &&
                               logHas(L"Profile for B changed and was uploaded");
    };

    tick();

    EXPECT_EQ(boxTexts(), std::vector<std::wstring>{L"The server could not be reached"});
    EXPECT_TRUE(bothSentWhileBoxOpen) << log();
}

TEST_F(ChangeWatcher, AnErrorStatusOrARedirectIsAFailureWhateverTheAnswerSays) {
    addEntry("A", "a\r\n");
    scanAndLogIn();
    siteStatus = 500;  // a broken site script that still prints the reply
    tick();
    EXPECT_FALSE(logHas(L"changed and was uploaded"));
    EXPECT_TRUE(logHas(L"Profile for A could not be uploaded: the website answered with HTTP status 500"));
    EXPECT_EQ(boxTexts(),
              std::vector<std::wstring>{L"The website answered with HTTP status 500 instead of taking the upload."});

    siteStatus = 302;
    tick();
    EXPECT_TRUE(logHas(L"Profile for A could not be uploaded again (2 times in a row): the website answered with "
                       L"HTTP status 302. Next try in 10 seconds"));
    EXPECT_EQ(boxes.shown.size(), 1u) << "still the same streak";

    siteStatus = 200;
    // Not stamped by a failure: the unchanged file is sent until it is taken.
    ASSERT_TRUE(tickUntilRequests(3, 2));
    EXPECT_TRUE(logHas(L"Profile for A changed and was uploaded"));
    tick(2);
    EXPECT_EQ(http.requests.size(), 3u) << "stamped by the success";
}

TEST_F(ChangeWatcher, ARejectedLoginIsToldOnceAndPausesUploadsUntilTheUserLogsInAgain) {
    addEntry("A", "a\r\n");
    addEntry("B", "b\r\n");
    scanAndLogIn();
    siteReply = L"Invalid Login/Password";  // the password was changed on the website
    tick();
    ASSERT_EQ(http.requests.size(), 1u);
    EXPECT_EQ(boxes.shown.size(), 1u);
    EXPECT_NE(boxes.shown[0].text.find(L"The website rejected the login"), std::wstring::npos);
    const std::wstring rejected = L"was not uploaded: the website rejected the login";
    EXPECT_TRUE(logHas(rejected));

    // Changes keep coming: nothing is sent, nothing more is said.
    rewrite("A", "a2\r\n", kBaseTime + hours(1));
    tick(6);
    EXPECT_EQ(http.requests.size(), 1u);
    EXPECT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(log().find(rejected), log().rfind(rejected));

    // One retry when its time has come; still rejected, still quiet.
    process.nowMs += kRejectedLoginRetryMs;
    tick(2);
    EXPECT_EQ(http.requests.size(), 2u);
    tick(2);
    EXPECT_EQ(http.requests.size(), 2u);
    EXPECT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(log().find(rejected), log().rfind(rejected));

    // The user logs in again with the password the site now takes.
    siteReply = L"Inventory Uploaded";
    form->Command3_Click();
    form->Command1_Click();
    ASSERT_TRUE(window.timerEnabled(Timer::UpdateTimer));
    tick(2);
    EXPECT_TRUE(logHas(L"Profile for A changed and was uploaded"));
    EXPECT_TRUE(logHas(L"Profile for B changed and was uploaded"));
}

TEST_F(ChangeWatcher, ARetryTheSiteAcceptsEndsThePause) {
    addEntry("A", "a\r\n");
    scanAndLogIn();
    siteReply = L"Invalid Login/Password";
    tick();
    siteReply = L"Inventory Uploaded";  // the password was changed back
    tick(3);
    EXPECT_EQ(http.requests.size(), 1u);

    // The rejected upload stamped nothing: the unchanged file is the retry.
    process.nowMs += kRejectedLoginRetryMs;
    tick();
    EXPECT_EQ(uploads(), (Strings{"a\r\n", "a\r\n"}));
    EXPECT_TRUE(logHas(L"The website accepted the login again; uploads go on"));
    EXPECT_TRUE(logHas(L"Profile for A changed and was uploaded"));

    // Back to normal: a change is sent at its next visit.
    rewrite("A", "a2\r\n", kBaseTime + hours(1));
    tick();
    EXPECT_EQ(uploads().back(), "a2\r\n");
    EXPECT_EQ(boxes.shown.size(), 1u);
}

TEST_F(ChangeWatcher, AVanishedFileIsSkippedAndTriedAgainAtItsNextVisit) {
    addEntry("A", "a\r\n");
    scanAndLogIn();
    std::filesystem::remove(savedDataFile("A"));

    EXPECT_NO_THROW(tick(3));
    EXPECT_TRUE(http.requests.empty());
    // Logged once, not on every visit.
    const std::wstring failure = L"Profile for A could not be read and will be tried again";
    std::wstring text = log();
    EXPECT_EQ(text.find(failure), text.rfind(failure));
    EXPECT_NE(text.find(failure), std::wstring::npos);

    addEntry("A", "back\r\n");
    tick();
    EXPECT_EQ(uploads(), Strings{"back\r\n"});
}

TEST_F(ChangeWatcher, AFileTheGameHoldsLockedIsToldOnceAndSentWhenFree) {
    addEntry("A", "a\r\n");
    scanAndLogIn();
    // Its stamp can be read, its content cannot: a lock, not a failing site.
    counter->lockedFiles.insert(L"Hoardbook.lua");
    addEntry("A", "changed\r\n");
    EXPECT_NO_THROW(tick(3));
    EXPECT_TRUE(http.requests.empty());
    EXPECT_TRUE(boxes.shown.empty());
    const std::wstring failure = L"Profile for A could not be read and will be tried again: Could not read ";
    const std::wstring text = log();
    EXPECT_NE(text.find(failure), std::wstring::npos) << text;
    EXPECT_NE(text.find(L"being used by another process"), std::wstring::npos);
    EXPECT_EQ(text.find(failure), text.rfind(failure)) << "once";
    EXPECT_EQ(text.find(L"Error Sending"), std::wstring::npos);

    counter->lockedFiles.clear();
    tick();
    EXPECT_EQ(uploads(), Strings{"changed\r\n"});
}

TEST_F(ChangeWatcher, AFileThatCannotBeReadIsSkippedNotFatal) {
    addEntry("A", "a\r\n");
    scanAndLogIn();
    // A folder in the file's place.
    std::filesystem::remove(savedDataFile("A"));
    std::filesystem::create_directory(savedDataFile("A"));

    EXPECT_NO_THROW(tick());
    EXPECT_TRUE(http.requests.empty());
    EXPECT_TRUE(logHas(L"Profile for A could not be read"));

    // Nothing was stamped: readable again, the file goes.
    std::filesystem::remove(savedDataFile("A"));
    addEntry("A", "a\r\n");
    tick();
    EXPECT_EQ(uploads(), Strings{"a\r\n"});
}

TEST_F(ChangeWatcher, AnAddonCheckFallingDueDuringAnUploadOrALoginWaitsUntilItIsDone) {
    addEntry("A", "a\r\n");
    scanAndLogIn();
    auto updateRequests = [this] {
        return std::count_if(http.requests.begin(), http.requests.end(), [](const auto& request) {
            return request->url.find(L"updates.test") != std::wstring::npos;
        });
    };
    for (int i = 0; i <= kUpdateCheckTicks; ++i) form->Timer1_Timer();  // the next tick is the check's
    ASSERT_EQ(updateRequests(), 0);

    // Started inside the upload's wait, the check's downloads (and a box
    // behind the game) would hold every upload back until they end.
    int ticksDuringUpload = 0;
    whileUploading = [&] {
        if (ticksDuringUpload++ == 0) form->Timer1_Timer();
    };
    tick();
    ASSERT_EQ(uploads(), Strings{"a\r\n"});
    ASSERT_GT(ticksDuringUpload, 0);
    EXPECT_EQ(updateRequests(), 0);

    // Still due: the first tick after the upload runs it.
    form->Timer1_Timer();
    EXPECT_EQ(updateRequests(), 1);
    EXPECT_EQ(form->updater().UpdateCheckTicks(), 1);

    // Nor inside a login's wait.
    form->Command3_Click();
    for (int i = 0; i < kUpdateCheckTicks; ++i) form->Timer1_Timer();
    ticksDuringUpload = 0;
    form->Command1_Click();
    ASSERT_TRUE(showsLoggedIn());
    ASSERT_GT(ticksDuringUpload, 0);
    EXPECT_EQ(updateRequests(), 1);
    form->Timer1_Timer();
    EXPECT_EQ(updateRequests(), 2);
}

TEST_F(ChangeWatcher, ATickDuringItsOwnUploadsWaitDoesNothing) {
    addEntry("A");
    addEntry("B");
    scanAndLogIn();
    int nested = 0;
    whileUploading = [&] {
        if (nested++ == 0) form->UpdateTimer_Timer();
    };

    tick();

    EXPECT_GE(nested, 1);
    EXPECT_EQ(uploads(), Strings{dataOf(0)});
    // The guard is released afterwards.
    whileUploading = nullptr;
    tick();
    EXPECT_EQ(uploads(), (Strings{dataOf(0), dataOf(1)}));
}

TEST_F(ChangeWatcher, AnEmptyAnswerIsNoOutageSoTheNextFailureStillShowsItsBox) {
    addEntry("A", "a\r\n");
    scanAndLogIn();
    siteReply = L"";  // the site answered, with nothing (a script error, say)
    tick();
    EXPECT_TRUE(logHas(L"Profile for A was not uploaded: the website answered \"\""));
    EXPECT_FALSE(logHas(L"did not answer"));
    EXPECT_TRUE(boxes.shown.empty());

    siteDown = true;
    tick();
    EXPECT_EQ(boxTexts(), std::vector<std::wstring>{L"The server could not be reached"});
}

TEST_F(ChangeWatcher, ALogInDuringTheWatchersWaitStillGetsItsFailureBox) {
    addEntry("A", "a\r\n");
    scanAndLogIn();
    siteDown = true;
    tick();  // the outage's one box
    ASSERT_EQ(boxes.shown.size(), 1u);
    whileUploading = [&] {
        whileUploading = nullptr;
        // The user logs out and presses "OK" meanwhile.
        form->Command3_Click();
        form->Command1_Click();
    };
    tick();
    // The watcher's quiet failure stays quiet; the user's own login reports
    // the failure and the wrong address.
    EXPECT_EQ(boxTexts(), (std::vector<std::wstring>{L"The server could not be reached", L"The server could not be reached",
                                                     L"Invalid URL.  Please make sure you've entered it correctly"}));
}

TEST_F(ChangeWatcher, ARejectionOfTheOldLoginDoesNotPauseTheOneLoggedInDuringItsWait) {
    addEntry("A", "a\r\n");
    scanAndLogIn();
    tick();
    // The password was changed on the site: this upload is rejected, and
    // meanwhile the player logs out and in with the new one.
    siteReply = L"Invalid Login/Password";
    rewrite("A", "a2\r\n", kBaseTime + std::chrono::hours(1));
    whileUploading = [&] {
        whileUploading = nullptr;
        form->Command3_Click();
        window.setText(Control::Password, L"newpass");
        acceptingLogin = true;
        form->Command1_Click();
        acceptingLogin = false;
    };
    tick();
    ASSERT_TRUE(showsLoggedIn());
    EXPECT_TRUE(boxes.shown.empty()) << boxTexts().front();
    EXPECT_FALSE(logHas(L"rejected the login"));

    // Uploads go on with the new login, not ten minutes later.
    siteReply = L"Inventory Uploaded";
    rewrite("A", "a3\r\n", kBaseTime + std::chrono::hours(2));
    tick();
    ASSERT_FALSE(uploads().empty());
    EXPECT_EQ(uploads().back(), "a3\r\n");
    ASSERT_TRUE(http.requests.back()->body);
    EXPECT_NE(http.requests.back()->body->find("newpass"), std::string::npos);
}

TEST_F(ChangeWatcher, AfterLogOutAndLogInRecordedTimesStillApply) {
    addEntry("A", "a\r\n");
    scanAndLogIn();
    tick();
    form->Command3_Click();
    EXPECT_FALSE(window.timerEnabled(Timer::UpdateTimer));
    form->Command1_Click();
    ASSERT_TRUE(window.timerEnabled(Timer::UpdateTimer));
    const auto sent = uploads().size();
    tick(3);
    EXPECT_EQ(uploads().size(), sent);
}

}  // namespace
}  // namespace hb::test
