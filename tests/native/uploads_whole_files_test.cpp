// The change watcher sends changed entries first and only whole files: a
// file still being written waits until it has settled, a file that changes
// during its read is not sent as read, and a file that never settles is
// still sent within its bound. Time is the fake clock's: each tick is 5 s.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>

#include "UploadsFixture.h"

namespace hb::test {
namespace {

using Strings = std::vector<std::string>;

class WholeFiles : public UploadsFixture {
protected:
    void tick() {
        process.nowMs += 5000;
        form->UpdateTimer_Timer();
    }
    // The fake system clock at the given fake monotonic time, as a file time.
    std::filesystem::file_time_type fileTimeAt(std::int64_t fakeMs) const {
        constexpr std::int64_t kUnixEpoch = 116444736000000000;
        const std::int64_t fileTime = process.systemTimeAsFileTime() + (fakeMs - process.nowMs) * 10000;
        const std::chrono::sys_time<std::chrono::nanoseconds> sys{std::chrono::nanoseconds((fileTime - kUnixEpoch) * 100)};
        return std::chrono::file_clock::from_sys(sys);
    }
    // Written by the game at the moment the next tick runs: not settled yet.
    void writeAtNextTick(const std::string& entry, const std::string& bytes) {
        rewrite(entry, bytes, fileTimeAt(process.nowMs + 5000));
    }
    // Written a while ago, so settled.
    void writeLongAgo(const std::string& entry, const std::string& bytes) {
        rewrite(entry, bytes, fileTimeAt(process.nowMs - 60000));
    }
    // Forty characters, their first round sent.
    void fortyEntriesSent() {
        for (int i = 0; i < 40; ++i) addEntry("ACCOUNT\\Realm\\Char" + std::to_string(100 + i));
        scanAndLogIn();
        for (int i = 0; i < 40; ++i) tick();
        ASSERT_EQ(uploads().size(), 40u);
    }

    Strings sentAfterFirstRound() const {
        const Strings sent = uploads();
        return sent.size() < 40 ? Strings{} : Strings(sent.begin() + 40, sent.end());
    }
};

TEST_F(WholeFiles, ThreeOfFortyRewrittenTogetherEachArriveWithinAFewTicks) {
    fortyEntriesSent();
    const std::string a = nameOf(4), b = nameOf(21), c = nameOf(38);
    const std::int64_t written = process.nowMs;
    writeLongAgo(a, "a2\r\n");
    writeLongAgo(b, "b2\r\n");
    writeLongAgo(c, "c2\r\n");

    std::vector<std::int64_t> arrivals;
    for (int i = 0; i < 10 && uploads().size() < 43; ++i) {
        tick();
        if (uploads().size() > 40 + arrivals.size()) arrivals.push_back(process.nowMs - written);
    }
    ASSERT_EQ(uploads().size(), 43u);
    // One per tick, in the order seen (the round robin's order from the
    // cursor), the last within 20 s of the writes.
    EXPECT_EQ(sentAfterFirstRound(), (Strings{"a2\r\n", "b2\r\n", "c2\r\n"}));
    EXPECT_EQ(arrivals, (std::vector<std::int64_t>{5000, 10000, 15000}));
    for (int i = 0; i < 5; ++i) tick();
    EXPECT_EQ(uploads().size(), 43u);
}

TEST_F(WholeFiles, ChangesGoInTheOrderTheyWereSeenNotInTheListsOrder) {
    fortyEntriesSent();
    // A late entry's change is seen first (still being written), an early
    // entry's a tick later: the late one goes first once settled.
    writeAtNextTick(nameOf(30), "late\r\n");
    tick();
    EXPECT_EQ(uploads().size(), 40u);
    writeLongAgo(nameOf(2), "early\r\n");
    tick();
    tick();
    EXPECT_EQ(sentAfterFirstRound(), (Strings{"late\r\n", "early\r\n"}));
}

TEST_F(WholeFiles, UnchangedEntriesAreNotRead) {
    fortyEntriesSent();
    const int reads = counter->reads[L"Hoardbook.lua"];
    for (int i = 0; i < 10; ++i) tick();
    EXPECT_EQ(counter->reads[L"Hoardbook.lua"], reads);
    EXPECT_EQ(uploads().size(), 40u);
}

TEST_F(WholeFiles, AFileWrittenJustNowWaitsUntilItHasSettled) {
    addEntry("A", "a1\r\n");
    scanAndLogIn();
    tick();
    ASSERT_EQ(uploads(), Strings{"a1\r\n"});

    writeAtNextTick("A", "a2 part\r\n");
    tick();
    EXPECT_EQ(uploads().size(), 1u) << "a file written as the tick runs may be half done";
    // Still being written at the next tick: it waits again.
    writeAtNextTick("A", "a2 part\r\nmore\r\n");
    tick();
    EXPECT_EQ(uploads().size(), 1u);
    // Left alone for a tick: the whole file goes, once.
    tick();
    EXPECT_EQ(uploads(), (Strings{"a1\r\n", "a2 part\r\nmore\r\n"}));
    tick();
    tick();
    EXPECT_EQ(uploads().size(), 2u);
    EXPECT_FALSE(logHas(L"kept changing"));
}

TEST_F(WholeFiles, AFileThatChangesDuringTheReadIsNotSentAsRead) {
    addEntry("A", "a1\r\n");
    scanAndLogIn();
    tick();
    ASSERT_EQ(uploads(), Strings{"a1\r\n"});

    // The game writes the rest of the file while the watcher reads it.
    writeLongAgo("A", "first half\r\n");
    counter->afterRead = [this](const std::wstring&) {
        counter->afterRead = nullptr;
        writeAtNextTick("A", "first half\r\nsecond half\r\n");
    };
    tick();
    EXPECT_EQ(uploads().size(), 1u) << "the bytes read may be torn";
    tick();
    tick();
    EXPECT_EQ(uploads(), (Strings{"a1\r\n", "first half\r\nsecond half\r\n"}));
}

TEST_F(WholeFiles, AFileRewrittenWithoutPauseIsStillSentWithinItsBoundAndLogged) {
    addEntry("A", "a1\r\n");
    scanAndLogIn();
    tick();
    ASSERT_EQ(uploads().size(), 1u);

    const std::int64_t start = process.nowMs;
    int version = 0;
    while (uploads().size() < 2 && process.nowMs - start < 120000) {
        writeAtNextTick("A", "version " + std::to_string(++version) + "\r\n");
        tick();
    }
    ASSERT_EQ(uploads().size(), 2u);
    // Waiting began at the first tick that saw the change; the bound is 30 s.
    EXPECT_LE(process.nowMs - start, 5000 + 30000);
    EXPECT_EQ(uploads().back(), "version " + std::to_string(version) + "\r\n");
    EXPECT_TRUE(logHas(L"Profile for A kept changing for 30 seconds and is sent as it was read"));
    EXPECT_TRUE(logHas(L"Profile for A changed and was uploaded"));
}

TEST_F(WholeFiles, AFailedUploadOfAChangedFileIsRetriedWholeAfterItsBackOff) {
    addEntry("A", "a1\r\n");
    scanAndLogIn();
    tick();
    siteDown = true;
    writeLongAgo("A", "a2\r\n");
    tick();
    ASSERT_EQ(http.requests.size(), 2u);
    siteDown = false;
    tick();  // the back-off of 5 s has passed
    EXPECT_EQ(uploads().back(), "a2\r\n");
    EXPECT_TRUE(logHas(L"Profile for A changed and was uploaded"));
}

}  // namespace
}  // namespace hb::test
