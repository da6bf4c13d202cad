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

TEST_F(MessageLogTest, OverlongMessageIsKeptWholeThenCutByTheNextEntry) {
    std::wstring huge(kMessageLogLimit + 5000, L'a');
    huge.back() = L'z';
    form->AddMessage(huge);
    EXPECT_EQ(log(), stamp + L": " + huge + L"\r\n");

    form->AddMessage(L"next");
    const std::wstring kept = (stamp + L": " + huge + L"\r\n").substr(0, kMessageLogLimit);
    EXPECT_EQ(log(), stamp + L": next\r\n" + kept);
    EXPECT_EQ(log().find(L'z'), std::wstring::npos);  // the cut removed the bottom
}

TEST_F(MessageLogTest, CutIgnoresLineEnds) {
    // The cut falls inside "\r\n": the surviving entry keeps a partial ending.
    std::wstring old(kMessageLogLimit - 1, L'x');
    old += L"\r\n";
    window.texts[Control::Data] = old;
    form->AddMessage(L"m");
    EXPECT_EQ(log(), stamp + L": m\r\n" + std::wstring(kMessageLogLimit - 1, L'x') + L"\r");
}

TEST(WithLogEntry, BuildsTheEntryFromItsParts) {
    EXPECT_EQ(WithLogEntry(L"below\r\n", L"T", L"msg"), L"T: msg\r\nbelow\r\n");
    EXPECT_EQ(WithLogEntry(L"", L"", L""), L": \r\n");
}

}  // namespace
}  // namespace hb::test
