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

TEST_F(WatcherAgainstSite, AFileHeldLockedIsToldOnceAndSentOnceFree) {
    addSavedData("ONLY", "version = 1\r\n");
    scan();
    click(win32::kIdCommand1);
    ASSERT_TRUE(pumpUntil([&] { return events->updateTicks >= 1; }, 15000));  // the first round
    const int before = received();

    // Rewritten, then held without sharing (as a program busy with it would):
    // its time and size can be read, its content cannot.
    addSavedData("ONLY", "version = 2\r\n");
    const std::filesystem::path file =
        temp.path() / "Game" / "WTF" / "Account" / "ONLY" / "SavedVariables" / "Hoardbook.lua";
    HANDLE held = ::CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const int ticks = events->updateTicks;
    ASSERT_TRUE(pumpUntil([&] { return events->updateTicks >= ticks + 3; }, 25000));
    EXPECT_EQ(received(), before);
    const std::wstring told = L"Profile for ONLY could not be read and will be tried again";
    const std::wstring text = log();
    EXPECT_NE(text.find(told), std::wstring::npos) << text;
    EXPECT_EQ(text.find(told), text.rfind(told)) << "told once, not at every tick";
    EXPECT_TRUE(boxes.shown.empty());

    ::CloseHandle(held);
    ASSERT_TRUE(pumpUntil([&] { return received() == before + 1; }, 15000));
    EXPECT_EQ(receivedFile(before + 1), "version = 2\r\n");
    click(win32::kIdCommand3);
}

}  // namespace
}  // namespace hb::test
