// A failed upload backs off while the other entries go on: the failing
// entry is sent again after 5 s, 10, 20 ... up to 10 minutes; the site's
// Retry-After is honoured; the log and the boxes say each streak once.

#include <gtest/gtest.h>

#include <chrono>
#include <map>

#include "UploadsFixture.h"

namespace hb::test {
namespace {

using std::chrono::seconds;

class Backoff : public UploadsFixture {
protected:
    Backoff() {
        addEntry("A", "refused\r\n");
        addEntry("B", "b0\r\n");
        scanAndLogIn();
        // The site refuses A's data (too large, say) and takes B's.
        http.responderAtSend = [this](const RecordedRequest& request) {
            FakeResponse response;
            const bool isA = request.body && request.body->find("refused") != std::string::npos;
            if (isA) {
                response.status = refusedStatus;
                response.text = refusedText;
                response.headers = refusedHeaders;
            } else {
                response.text = L"Inventory Uploaded";
            }
            return response;
        };
    }

    // UpdateTimer's ticks, 5 s apart.
    void tick(int count = 1) {
        for (int i = 0; i < count; ++i) {
            process.nowMs += 5000;
            form->UpdateTimer_Timer();
        }
    }
    // When (fake clock, in seconds from the first tick) each of A's uploads was sent.
    std::vector<std::int64_t> timesOfA() const { return timesOf("refused"); }
    std::vector<std::int64_t> timesOf(const std::string& marker) const {
        std::vector<std::int64_t> times;
        for (std::size_t i = 0; i < http.requests.size(); ++i) {
            const auto& body = http.requests[i]->body;
            if (body && body->find(marker) != std::string::npos) times.push_back(sentAt[i]);
        }
        return times;
    }
    // Ticks over the given time, recording when each request went out.
    void run(std::int64_t forMs) {
        const std::int64_t end = process.nowMs + forMs;
        while (process.nowMs + 5000 <= end) {
            tick();
            while (sentAt.size() < http.requests.size()) sentAt.push_back((process.nowMs - start) / 1000);
        }
    }

    // B's saved data after its nth change.
    static std::string changeOfB(int n) {
        std::string data = std::to_string(n);
        data.insert(data.begin(), 'b');
        data += "\r\n";
        return data;
    }

    int refusedStatus = 413;
    std::wstring refusedText = L"Request Entity Too Large";
    std::vector<std::pair<std::wstring, std::wstring>> refusedHeaders;
    std::vector<std::int64_t> sentAt;
    std::int64_t start = process.nowMs;
};

TEST_F(Backoff, AFailingEntryIsSentAgainAfter5Then10Then20SecondsUpTo10MinutesWhileAnotherGoesOn) {
    int changesOfB = 0;
    std::vector<std::int64_t> changedAt;
    const std::int64_t end = process.nowMs + 20 * 60 * 1000;
    while (process.nowMs + 5000 <= end) {
        // B's file changes every 30 s.
        if ((process.nowMs - start) % 30000 == 0) {
            ++changesOfB;
            rewrite(nameOf(indexOf("B")), changeOfB(changesOfB), kBaseTime + seconds(changesOfB));
            changedAt.push_back((process.nowMs - start) / 1000);
        }
        tick();
        while (sentAt.size() < http.requests.size()) sentAt.push_back((process.nowMs - start) / 1000);
    }

    const std::vector<std::int64_t> a = timesOfA();
    ASSERT_GE(a.size(), 8u);
    // The gaps grow as 5, 10, 20, 40 ... s (each rounded up to the next
    // visit, which comes every 10 s with two entries), up to 10 minutes.
    std::int64_t expectedGap = 5;
    for (std::size_t i = 1; i < a.size(); ++i) {
        const std::int64_t gap = a[i] - a[i - 1];
        EXPECT_GE(gap, expectedGap) << "try " << i;
        EXPECT_LE(gap, expectedGap + 10) << "try " << i;
        expectedGap = std::min<std::int64_t>(expectedGap * 2, 600);
    }
    std::size_t inFirstTenMinutes = 0;
    for (std::int64_t t : a) inFirstTenMinutes += t <= 600 ? 1 : 0;
    EXPECT_LE(inFirstTenMinutes, 12u);

    // Every change of B arrived within two visits of it.
    for (int change = 1; change <= changesOfB; ++change) {
        const std::string marker = changeOfB(change);
        const std::vector<std::int64_t> sent = timesOf(marker);
        ASSERT_EQ(sent.size(), 1u) << marker;
        EXPECT_LE(sent[0] - changedAt[static_cast<std::size_t>(change - 1)], 20) << marker;
    }
}

TEST_F(Backoff, AnUnknownAnswerBacksOffTooAndTheFirstFailureAloneCarriesTheData) {
    refusedStatus = 200;
    refusedText = L"<html>Maintenance</html>";
    run(60000);
    const std::vector<std::int64_t> a = timesOfA();
    ASSERT_GE(a.size(), 3u) << log();
    EXPECT_GE(a[1] - a[0], 5);
    EXPECT_GE(a[2] - a[1], 10);
    EXPECT_LT(a.size(), 6u) << "without back-off A would go every 10 s";
    EXPECT_TRUE(logHas(L"Profile for A was not uploaded: the website answered \"<html>Maintenance</html>\". It will "
                       L"be sent again"));
    EXPECT_TRUE(logHas(L"Profile for A could not be uploaded again (2 times in a row): the website answered "
                       L"\"<html>Maintenance</html>\". Next try in 10 seconds"));
    EXPECT_TRUE(boxes.shown.empty()) << "an unknown answer was only ever logged";
}

TEST_F(Backoff, A413IsToldInOneBoxAndTheDataIsLoggedOncePerStreak) {
    run(5 * 60 * 1000);
    ASSERT_GE(timesOfA().size(), 4u);
    EXPECT_EQ(boxTexts(), std::vector<std::wstring>{L"The website answered with HTTP status 413 instead of taking the "
                                                    L"upload."});
    const std::wstring data = L"-----Start-----\r\nrefused\r\n";
    EXPECT_EQ(log().find(data), log().rfind(data)) << "the data is logged at the first failure only";
    EXPECT_TRUE(logHas(L"Profile for A could not be uploaded: the website answered with HTTP status 413. It will be "
                       L"sent again"));
    EXPECT_TRUE(logHas(L"Profile for A could not be uploaded again (3 times in a row): the website answered with HTTP "
                       L"status 413. Next try in 20 seconds"));

    // Accepted at last: the streak ends, and a new one starts afresh.
    refusedStatus = 200;
    refusedText = L"Inventory Uploaded";
    run(10 * 60 * 1000);
    EXPECT_TRUE(logHas(L"Profile for A changed and was uploaded"));
    refusedStatus = 413;
    refusedText = L"Request Entity Too Large";
    rewrite(nameOf(indexOf("A")), "refused again\r\n", kBaseTime + std::chrono::hours(1));
    const std::size_t before = timesOfA().size();
    run(30000);
    const std::vector<std::int64_t> a = timesOfA();
    ASSERT_GE(a.size(), before + 2) << "a new streak starts at 5 s again";
    EXPECT_LE(a[before + 1] - a[before], 15);
    EXPECT_EQ(boxes.shown.size(), 2u) << "a new streak may say so once";
}

class RetryAfter : public Backoff, public ::testing::WithParamInterface<int> {};

TEST_P(RetryAfter, HoldsEveryUploadThatLong) {
    // The site is busy for a minute and says so with every answer, asking
    // for two minutes' peace.
    const std::int64_t busyUntil = process.nowMs + 60000;
    http.responderAtSend = [&](const RecordedRequest&) {
        FakeResponse response;
        response.text = L"Inventory Uploaded";
        if (process.nowMs < busyUntil) {
            response.status = GetParam();
            response.text = L"Busy";
            response.headers = {{L"Retry-After", L"120"}};
        }
        return response;
    };
    run(240000);
    ASSERT_GE(sentAt.size(), 3u);
    // The first upload is refused; nothing at all goes for the 120 s asked
    // for, then both entries arrive.
    EXPECT_GE(sentAt[1] - sentAt[0], 120);
    EXPECT_EQ(sentAt.size(), 3u);
    EXPECT_TRUE(logHas(L"Profile for A changed and was uploaded"));
    EXPECT_TRUE(logHas(L"Profile for B changed and was uploaded"));
}

INSTANTIATE_TEST_SUITE_P(TooManyRequestsAndUnavailable, RetryAfter, ::testing::Values(429, 503));

TEST_F(Backoff, AnyAnswerEndsAnOutageSoTheNextOutageIsToldAgain) {
    refusedStatus = 200;
    refusedText = L"Inventory Uploaded";
    siteDown = true;
    http.responderAtSend = [this](const RecordedRequest&) {
        FakeResponse response;
        response.text = L"Inventory Uploaded";
        response.status = refusedStatus;
        if (siteDown) {
            response.failAt = FakeResponse::FailAt::Poll;
            response.description = L"The server could not be reached";
        }
        return response;
    };
    run(20000);
    ASSERT_GE(http.requests.size(), 2u) << "both entries failed";
    EXPECT_EQ(boxTexts(), std::vector<std::wstring>{L"The server could not be reached"}) << "one box per outage";
    // The site is back, answering 500 to everything: the outage is over.
    siteDown = false;
    refusedStatus = 500;
    run(60000);
    siteDown = true;
    rewrite(nameOf(indexOf("B")), "b again\r\n", kBaseTime + std::chrono::hours(2));
    run(20 * 60000);
    ASSERT_GE(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown.back().text, L"The server could not be reached") << "a new outage";
}

}  // namespace
}  // namespace hb::test
