// The message log: newest entry first, stamped, cut to 20000 characters
// before each new entry.

#include <gtest/gtest.h>

#include "shell/MessageLog.h"
#include "support/FormFixture.h"

namespace hb::test {
namespace {

class MessageLogTest : public FormFixture {
protected:
    std::wstring log() const { return window.text(Control::Data); }
    const std::wstring stamp = L"12/5/2026 9:11:00 PM";
};

TEST_F(MessageLogTest, FirstEntryIsOneStampedLine) {
    process.dateTimeText = stamp;
    form->AddMessage(L"Successfully logged in");
    EXPECT_EQ(log(), stamp + L": Successfully logged in\r\n");
}

TEST_F(MessageLogTest, NewestEntryStandsOnTopWithItsOwnStamp) {
    process.dateTimeText = L"1/1/2026 1:00:00 AM";
    form->AddMessage(L"first");
    process.dateTimeText = L"1/1/2026 1:00:05 AM";
    form->AddMessage(L"second");
    EXPECT_EQ(log(), L"1/1/2026 1:00:05 AM: second\r\n1/1/2026 1:00:00 AM: first\r\n");
}

TEST_F(MessageLogTest, EmptyMessageStillMakesAnEntry) {
    form->AddMessage(L"");
    EXPECT_EQ(log(), stamp + L": \r\n");
}

TEST_F(MessageLogTest, MultiLineMessageIsOneEntryStampedOnce) {
    form->AddMessage(L"old");
    const std::wstring report = L"Error Sending the following data\r\n-----Start-----\r\nabc\r\n-----End-----";
    form->AddMessage(report);
    EXPECT_EQ(log(), stamp + L": " + report + L"\r\n" + stamp + L": old\r\n");
}

TEST_F(MessageLogTest, LogOfExactlyTheLimitIsNotCut) {
    const std::wstring old(kMessageLogLimit, L'x');
    window.texts[Control::Data] = old;
    form->AddMessage(L"m");
    EXPECT_EQ(log(), stamp + L": m\r\n" + old);
}

TEST_F(MessageLogTest, LogOneOverTheLimitLosesItsOldestCharacter) {
    std::wstring old(kMessageLogLimit, L'x');
    old.push_back(L'!');  // the oldest character, at the bottom
    window.texts[Control::Data] = old;
    form->AddMessage(L"m");
    EXPECT_EQ(log(), stamp + L": m\r\n" + std::wstring(kMessageLogLimit, L'x'));
}

TEST_F(MessageLogTest, OverlongMessageKeepsItsStartAndSaysHowMuchWasLeftOut) {
    std::wstring huge(kLogEntryMessageLimit + 5000, L'a');
    huge.back() = L'z';
    form->AddMessage(huge);
    EXPECT_EQ(log(), stamp + L": " + huge.substr(0, kLogEntryMessageLimit) + L"\u2026 (5000 more characters)\r\n");

    // A message right at the limit is whole; a surrogate pair is never split.
    const std::wstring exact(kLogEntryMessageLimit, L'b');
    EXPECT_EQ(BoundedLogMessage(exact), exact);
    std::wstring pairAtTheCut(kLogEntryMessageLimit - 1, L'c');
    pairAtTheCut += {static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00), L'd'};
    if (sizeof(wchar_t) == 2) {
        EXPECT_EQ(BoundedLogMessage(pairAtTheCut),
                  std::wstring(kLogEntryMessageLimit - 1, L'c') + L"\u2026 (3 more characters)");
    }
}

TEST_F(MessageLogTest, EntriesOverTheLimitAreCutFromTheBottomByTheNextEntry) {
    // The log outgrows its limit through entries; the next entry cuts it.
    for (int i = 0; i < 3; ++i) form->AddMessage(std::wstring(kLogEntryMessageLimit, static_cast<wchar_t>(L'a' + i)));
    const std::wstring before = log();
    ASSERT_GT(before.size(), kMessageLogLimit);

    form->AddMessage(L"next");
    EXPECT_EQ(log(), stamp + L": next\r\n" + before.substr(0, kMessageLogLimit));
}

TEST_F(MessageLogTest, CutIgnoresLineEnds) {
    // The cut falls inside "\r\n": the surviving entry keeps a partial ending.
    std::wstring old(kMessageLogLimit - 1, L'x');
    old += L"\r\n";
    window.texts[Control::Data] = old;
    form->AddMessage(L"m");
    EXPECT_EQ(log(), stamp + L": m\r\n" + std::wstring(kMessageLogLimit - 1, L'x') + L"\r");
}

TEST(LogEntry, BuildsTheEntryFromItsParts) {
    EXPECT_EQ(LogEntry(L"T", L"msg"), L"T: msg\r\n");
    EXPECT_EQ(LogEntry(L"", L""), L": \r\n");
}

}  // namespace
}  // namespace hb::test
