// Deadlines by progress: a request fails when nothing moved for too long,
// never because an honest transfer is slow; a generous cap, growing with
// the body, stops a peer that trickles without end. The fake link moves a
// number of bytes per poll, each poll 10 ms of the fake clock.

#include <gtest/gtest.h>

#include "net/HttpWait.h"
#include "net/RetryAfter.h"
#include "net/Transfers.h"
#include "fakes/FakeProgramExit.h"
#include "support/FormFixture.h"

namespace hb::test {
namespace {

// About 2 Mbit/s: 2500 bytes every 10 ms.
constexpr std::uint64_t kTwoMegabitPerPoll = 2500;
// 50 KB/s.
constexpr std::uint64_t kFiftyKilobytesPerPoll = 512;

class Progress : public PortsFixture {
protected:
    void link(std::uint64_t bytesPerPoll, std::optional<std::uint64_t> stallAfter = std::nullopt,
              std::wstring answer = L"Inventory Uploaded") {
        http.responder = [=](const RecordedRequest&) {
            FakeResponse response;
            response.text = answer;
            response.bytesPerPoll = bytesPerPoll;
            response.stallAfterBytes = stallAfter;
            return response;
        };
    }

    SiteLogin site{L"guild.example", L"Officer Bob", L"secret"};
    FakeProgramExit programExit{process};
    Transfers transfers{http, boxes, shell, *files, process, programExit, codepage, messages, 60000};
};

TEST_F(Progress, ATwentyMegabyteUploadOverATwoMegabitLinkIsDeliveredOnce) {
    link(kTwoMegabitPerPoll);
    const std::string data(20 * 1024 * 1024, 'g');
    const std::int64_t start = process.nowMs;

    const UploadResult result = transfers.upload(site, data, FailureReport::Box);

    EXPECT_TRUE(result.answered) << result.failure;
    EXPECT_EQ(result.reply, L"Inventory Uploaded");
    EXPECT_EQ(http.requests.size(), 1u);
    EXPECT_GT(process.nowMs - start, 80000) << "longer than any total bound a small upload would get";
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_TRUE(messages.entries.empty());
}

TEST_F(Progress, AnUploadThatStallsFailsOnceNothingMovedForTheBound) {
    link(kTwoMegabitPerPoll, 1024 * 1024);
    const std::int64_t start = process.nowMs;

    const UploadResult result = transfers.upload(site, std::string(4 * 1024 * 1024, 's'), FailureReport::LogOnly);

    EXPECT_FALSE(result.answered);
    EXPECT_EQ(result.failure, L"The server did not answer within 60 seconds; the request was cancelled.");
    // 1 MB took about 4 s, then 60 s of nothing.
    EXPECT_GE(process.nowMs - start, 60000 + 4000);
    EXPECT_LT(process.nowMs - start, 60000 + 6000);
    EXPECT_TRUE(http.requests.at(0)->aborted);
}

TEST_F(Progress, ASilentPeerFailsAtTheBound) {
    link(kTwoMegabitPerPoll, 0);
    const UploadResult result = transfers.upload(site, "d\r\n", FailureReport::LogOnly);
    EXPECT_EQ(result.failure, L"The server did not answer within 60 seconds; the request was cancelled.");
}

TEST_F(Progress, APeerThatTricklesWithoutEndIsStoppedByTheCapThatGrowsWithTheBody) {
    // One byte every 10 ms, and an answer that never ends: always moving.
    link(1, std::nullopt, std::wstring(1 << 20, L'x'));
    Transfers capped(http, boxes, shell, *files, process, programExit, codepage, messages, 60000, 120000);
    const std::string data(160 * 1024, 'd');  // 10 s more at the slowest honest rate
    const std::int64_t start = process.nowMs;

    const UploadResult result = capped.upload(site, data, FailureReport::LogOnly);

    EXPECT_FALSE(result.answered);
    EXPECT_EQ(result.failure, L"The transfer did not finish within 130 seconds; the request was cancelled.");
    EXPECT_GE(process.nowMs - start, 130000);
    EXPECT_LT(process.nowMs - start, 131000);
}

TEST_F(Progress, ADownloadAtFiftyKilobytesASecondCompletesThoughItTakesLongerThanItsBound) {
    http.responder = [](const RecordedRequest&) {
        FakeResponse response;
        response.body = std::string(1536 * 1024, 'a');  // 30 s at 50 KB/s
        response.bytesPerPoll = kFiftyKilobytesPerPoll;
        return response;
    };
    const std::int64_t start = process.nowMs;
    const DownloadResult file =
        transfers.downloadToFile(L"http://updates.test/files/Hoardbook/Big.lua", temp.corePath("Big.lua"),
                                 FailureReport::Box);
    EXPECT_TRUE(file) << file.failure;
    EXPECT_GT(process.nowMs - start, kDownloadDeadlineMs);
    EXPECT_EQ(temp.read("Big.lua").size(), 1536u * 1024u + 2u);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(Progress, ADownloadThatStopsMovingFailsAtTheDownloadsBound) {
    http.responder = [](const RecordedRequest&) {
        FakeResponse response;
        response.body = std::string(1024 * 1024, 'a');
        response.bytesPerPoll = kFiftyKilobytesPerPoll;
        response.stallAfterBytes = 100 * 1024;
        return response;
    };
    const std::int64_t start = process.nowMs;
    const DownloadResult file = transfers.download(L"http://updates.test/files/Hoardbook/x", FailureReport::LogOnly);
    EXPECT_FALSE(file);
    EXPECT_EQ(file.failure, L"The server did not answer within 20 seconds; the request was cancelled.");
    EXPECT_LT(process.nowMs - start, kDownloadDeadlineMs + 3000);
}

TEST_F(Progress, TheCallerCanEndTheWait) {
    link(kTwoMegabitPerPoll, 0);
    bool cancelled = false;
    process.onPump = [&] {
        if (process.pumpCount == 50) cancelled = true;  // Log Out pressed during the wait
    };
    const UploadResult result = transfers.send(site, "d\r\n", &cancelled);
    EXPECT_TRUE(result.cancelled);
    EXPECT_FALSE(result.answered);
    EXPECT_TRUE(http.requests.at(0)->aborted);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_TRUE(messages.entries.empty()) << "send reports nothing by itself";
}

TEST(DeadlineText, ReadsAsTheUserWould) {
    EXPECT_EQ(DeadlineText(1000), L"1 second");
    EXPECT_EQ(DeadlineText(1500), L"1.5 seconds");
    EXPECT_EQ(DeadlineText(60000), L"60 seconds");
    EXPECT_EQ(DeadlineText(90000), L"90 seconds");
    EXPECT_EQ(DeadlineText(120000), L"2 minutes");
    EXPECT_EQ(DeadlineText(600000), L"10 minutes");
    EXPECT_EQ(DeadlineText(150000), L"150 seconds");
}

TEST(RetryAfter, DelaySecondsAreHonouredAndAnythingElseIsNot) {
    EXPECT_EQ(RetryAfterMs(L"120"), 120000);
    EXPECT_EQ(RetryAfterMs(L" 5 "), 5000);
    EXPECT_EQ(RetryAfterMs(L"0"), 0);
    EXPECT_EQ(RetryAfterMs(L"99999999999999999999999"), 24 * 60 * 60 * 1000LL) << "bounded, no overflow";
    EXPECT_EQ(RetryAfterMs(L""), std::nullopt);
    EXPECT_EQ(RetryAfterMs(L"-5"), std::nullopt);
    EXPECT_EQ(RetryAfterMs(L"1.5"), std::nullopt);
    EXPECT_EQ(RetryAfterMs(L"Fri, 31 Dec 1999 23:59:59 GMT"), std::nullopt);
}

TEST_F(Progress, ARetryAfterOfA429OrA503IsReportedAndNotOfOtherStatuses) {
    int status = 503;
    http.responder = [&](const RecordedRequest&) {
        FakeResponse response;
        response.status = status;
        response.text = L"busy";
        response.headers = {{L"Retry-After", L"120"}};
        return response;
    };
    EXPECT_EQ(transfers.send(site, "d").retryAfterMs, 120000);
    status = 429;
    EXPECT_EQ(transfers.send(site, "d").retryAfterMs, 120000);
    status = 413;
    EXPECT_EQ(transfers.send(site, "d").retryAfterMs, std::nullopt);
    EXPECT_EQ(transfers.send(site, "d").reply, L"busy") << "send keeps the reply whatever the status";
}

}  // namespace
}  // namespace hb::test
