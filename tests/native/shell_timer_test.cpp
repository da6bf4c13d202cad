// The slow timer: the add-on update check runs on tick 1802 and then every
// 1801 ticks; the counter is reset before the check.

#include <gtest/gtest.h>

#include <vector>

#include "support/FormFixture.h"

namespace hb::test {
namespace {

class Timer1Test : public FormFixture {
protected:
    Timer1Test() { installGame(); }

    // Ticks Timer1 `count` times; returns the tick numbers (1-based) on
    // which a check ran: the counter was reset and the update server asked.
    std::vector<int> tick(int count) {
        std::vector<int> checks;
        for (int i = 0; i < count; ++i) {
            int before = form->updater().UpdateCheckTicks();
            std::size_t requests = http.requests.size();
            form->Timer1_Timer();
            ++ticks_;
            bool reset = form->updater().UpdateCheckTicks() != before + 1;
            bool asked = http.requests.size() != requests;
            EXPECT_EQ(reset, asked) << "tick " << ticks_;
            if (reset) {
                EXPECT_EQ(form->updater().UpdateCheckTicks(), 1) << "tick " << ticks_;
                checks.push_back(ticks_);
            }
        }
        return checks;
    }
    int ticks_ = 0;
};

// The whole schedule: the counter from zero, no check for 1801 ticks (so
// the counter reads 1801), then a check on tick 1802 and every 1801 ticks
// after it, each a fetch of the published version. The start-up check
// before them moves none.
TEST_F(Timer1Test, ChecksOnTick1802AndThenEvery1801TicksAfterTheStartUpCheck) {
    form->updater().CheckVersionAndDownload();
    ASSERT_FALSE(http.requests.empty()) << "the start-up check asks the update server";
    http.requests.clear();
    EXPECT_EQ(form->updater().UpdateCheckTicks(), 0);

    EXPECT_TRUE(tick(1801).empty());
    EXPECT_EQ(form->updater().UpdateCheckTicks(), 1801);
    EXPECT_TRUE(http.requests.empty());

    EXPECT_EQ(tick(1), (std::vector<int>{1802}));
    ASSERT_FALSE(http.requests.empty());
    EXPECT_EQ(http.requests[0]->url, L"http://updates.test/files/Hoardbook/HoardbookVersion");

    EXPECT_EQ(tick(3603), (std::vector<int>{3603, 5404}));
}

TEST_F(Timer1Test, RoutedFromTheTimerEvent) {
    form->onTimer(Timer::Timer1);
    form->onTimer(Timer::Timer1);
    EXPECT_EQ(form->updater().UpdateCheckTicks(), 2);
}

TEST_F(Timer1Test, TicksDuringACheckCountTowardsTheNextOneAndStartNoSecond) {
    tick(1801);
    int nested = 0;
    http.responder = [&](const RecordedRequest&) {
        FakeResponse response;
        response.pollsUntilDone = 3;
        response.whilePolling = [&] {
            ++nested;
            form->Timer1_Timer();  // a tick handled inside the check's wait
        };
        return response;
    };
    form->Timer1_Timer();
    ASSERT_GT(nested, 0);
    EXPECT_EQ(form->updater().UpdateCheckTicks(), nested + 1);
}

}  // namespace
}  // namespace hb::test
