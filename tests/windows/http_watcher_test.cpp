// The change watcher on the real UpdateTimer against the reference guild site.

#include <chrono>
#include <thread>

#include "SiteForm.h"

namespace hb::test {
namespace {

class WatcherAgainstSite : public SiteForm {};

TEST_F(WatcherAgainstSite, UploadsARewrittenFileAndNotAnUnchangedOne) {
    addSavedData("ONLY", "version = 1\r\n");
    scan();
    const int before = received();
    click(win32::kIdCommand1);
    ASSERT_TRUE(window.timerEnabled(Timer::UpdateTimer));
    ASSERT_EQ(received(), before + 1);

    // The first round sends the file once more: no time was recorded yet.
    ASSERT_TRUE(pumpUntil([&] { return events->updateTicks >= 1; }, 15000));
    ASSERT_EQ(received(), before + 2);
    EXPECT_TRUE(logHas(L"Profile for ONLY changed and was uploaded"));

    // Unchanged: the next tick sends nothing.
    ASSERT_TRUE(pumpUntil([&] { return events->updateTicks >= 2; }, 15000));
    EXPECT_EQ(received(), before + 2);

    // Rewritten by the game: sent at the next visit, bytes as written.
    addSavedData("ONLY", "version = 2\r\n");
    ASSERT_TRUE(pumpUntil([&] { return events->updateTicks >= 3; }, 15000));
    ASSERT_EQ(received(), before + 3);
    EXPECT_EQ(receivedFile(before + 3), "version = 2\r\n");
    EXPECT_TRUE(boxes.shown.empty());

    click(win32::kIdCommand3);
    EXPECT_FALSE(window.timerEnabled(Timer::UpdateTimer));
}

}  // namespace
}  // namespace hb::test
