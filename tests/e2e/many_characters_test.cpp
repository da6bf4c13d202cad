// The built program with thousands of character folders: the window shows
// soon and answers all through start-up, as a player with many alts (guild
// bank characters on every realm) expects of any window.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "AppDriver.h"
#include "Scenario.h"
#include "win32/ControlIds.h"

namespace hb::e2e {
namespace {

using namespace hb::win32;

constexpr int kCharacters = 2000;
// What a player sees: the window within 2 s, and never a window that takes
// more than a second to answer.
constexpr ULONGLONG kWindowShownMs = 2000;
constexpr UINT kAnswerMs = 1000;

TEST(ManyCharacters, TheWindowShowsWithin2SecondsAndAnswersThroughoutStartUp) {
    Scenario scenario;
    for (int i = 0; i < kCharacters; ++i) {
        const std::wstring realm = L"Realm" + std::to_wstring(i % 20);
        scenario.writeSavedData(L"ACCOUNT\\" + realm + L"\\Char" + std::to_wstring(i), "Hoardbook = {}\r\n");
    }
    AppDriver app;
    const ULONGLONG started = ::GetTickCount64();
    ASSERT_TRUE(app.start(scenario.programPath(), scenario.programFolder().wstring()));
    ASSERT_TRUE(app.waitForMainWindow(kStartTimeout));

    // Until start-up is over (its last steps add the tray icon), the window
    // is asked for nothing but an answer, again and again.
    const int iconsBefore = CountTrayIcons();
    ULONGLONG shownAt = 0;
    ULONGLONG slowestAnswer = 0;
    int probes = 0;
    const bool done = WaitFor(
        [&] {
            const ULONGLONG asked = ::GetTickCount64();
            DWORD_PTR ignored = 0;
            const bool answered =
                ::SendMessageTimeoutW(app.mainWindow(), WM_NULL, 0, 0, SMTO_NORMAL, kAnswerMs, &ignored) != 0;
            slowestAnswer = std::max(slowestAnswer, answered ? ::GetTickCount64() - asked : ULONGLONG{kAnswerMs});
            ++probes;
            if (shownAt == 0 && ::IsWindowVisible(app.mainWindow())) shownAt = ::GetTickCount64();
            return shownAt != 0 && CountTrayIcons() > iconsBefore;
        },
        kStartTimeout);
    ASSERT_TRUE(done) << "start-up did not end";
    const std::vector<ListEntry> listed = app.entries();
    EXPECT_EQ(listed.size(), std::size_t{kCharacters});
    EXPECT_TRUE(std::all_of(listed.begin(), listed.end(), [](const ListEntry& e) { return e.checked; }))
        << "every character found is checked, as one by one";

    EXPECT_LE(shownAt - started, kWindowShownMs) << "the window showed only after " << (shownAt - started) << " ms";
    EXPECT_LT(slowestAnswer, ULONGLONG{kAnswerMs}) << "the slowest of " << probes << " answers";
    EXPECT_TRUE(app.exitProgram());
}

}  // namespace
}  // namespace hb::e2e
