// A site that refuses one entry's data (413, too large) while it takes the
// others: the refused entry backs off, the others' changes keep arriving.
// The full schedule (5 s doubling to 10 minutes, at most 12 tries in 10
// minutes) is checked with a fake clock in the native tests; this run
// shows the built program doing it over its real timer and transport.

#include <gtest/gtest.h>
#include <winsock2.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "AppDriver.h"
#include "LoopbackSite.h"
#include "Scenario.h"
#include "win32/ControlIds.h"

namespace hb::e2e {
namespace {

using namespace hb::win32;

const std::string kRefusedMarker = "refused-account";

// A loopback site: the first upload (the login) is taken whatever it holds;
// after that, data holding kRefusedMarker is answered 413 and anything else
// "Inventory Uploaded".
class SelectiveSite {
public:
    SelectiveSite() : site_([this](const std::string& request) { return answer(request); }) {}

    std::wstring host() const { return site_.host(); }
    // When (GetTickCount64) each refused upload arrived.
    std::vector<ULONGLONG> refusals() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return refusals_;
    }
    // Whether an upload holding this text was taken.
    bool took(const std::string& text) const {
        std::lock_guard<std::mutex> lock(mutex_);
        for (const std::string& body : taken_) {
            if (body.find(text) != std::string::npos) return true;
        }
        return false;
    }

private:
    std::string answer(const std::string& request) {
        std::lock_guard<std::mutex> lock(mutex_);
        const bool refuse = !first_ && request.find(kRefusedMarker) != std::string::npos;
        first_ = false;
        if (refuse) {
            refusals_.push_back(::GetTickCount64());
            return HttpAnswer("413 Payload Too Large", "", "Request Entity Too Large");
        }
        taken_.push_back(request);
        return HttpAnswer("200 OK", "", "Inventory Uploaded");
    }

    mutable std::mutex mutex_;
    bool first_ = true;
    std::vector<ULONGLONG> refusals_;
    std::vector<std::string> taken_;
    LoopbackSite site_;  // last: its thread uses the members above
};

// How many tries a back-off of 5 s doubling allows within elapsedMs of the first.
std::size_t TriesAllowed(ULONGLONG elapsedMs) {
    std::size_t tries = 1;
    ULONGLONG at = 0;
    for (ULONGLONG delay = 5000; at + delay <= elapsedMs; delay *= 2) {
        at += delay;
        ++tries;
    }
    return tries;
}

TEST(Backoff, AnEntryTheSiteRefusesBacksOffWhileAnotherEntrysChangesKeepArriving) {
    Scenario scenario;
    AppDriver app;
    SelectiveSite site;
    scenario.writeSavedData(L"ACCOUNT1", "Hoardbook = { owner = \"" + kRefusedMarker + "\", size = \"huge\" }\r\n");
    scenario.writeSavedData(L"ACCOUNT2", "Hoardbook = { owner = \"Account2\", gold = 0 }\r\n");
    ASSERT_TRUE(app.start(scenario.programPath(), scenario.programFolder().wstring()));
    ASSERT_TRUE(app.waitForMainWindow(kStartTimeout));
    ASSERT_TRUE(WaitFor([&] { return app.visible(); }, kStartTimeout));

    app.setText(kIdURL, site.host());
    app.setText(kIdLogin, kLogin);
    app.setText(kIdPassword, kPassword);
    app.pressEnter(kIdPassword);
    ASSERT_TRUE(WaitFor([&] { return !app.enabled(kIdLogin); }, kStartTimeout)) << "logged in";

    // The refused entry's first failure: one box, which stays open while
    // the uploads go on behind it.
    ASSERT_TRUE(WaitFor([&] { return !site.refusals().empty(); }, 4 * kTick));
    const MessageBoxSeen box = app.waitForMessageBox(2 * kTick);
    ASSERT_NE(box.window, nullptr);
    EXPECT_NE(box.text.find(L"413"), std::wstring::npos) << box.text;

    // The other entry keeps changing, for long enough (45 s after the first
    // refusal) to tell a back-off from a try at every tick; each change
    // arrives within a few ticks.
    const ULONGLONG firstRefusal = site.refusals().front();
    for (int change = 1; change <= 20 && ::GetTickCount64() - firstRefusal < 45000; ++change) {
        const std::string gold = "gold = " + std::to_string(change * 100);
        scenario.writeSavedData(L"ACCOUNT2", "Hoardbook = { owner = \"Account2\", " + gold + " }\r\n");
        EXPECT_TRUE(WaitFor([&] { return site.took(gold); }, 5 * kTick)) << gold;
    }

    const std::vector<ULONGLONG> refusals = site.refusals();
    const ULONGLONG elapsed = ::GetTickCount64() - refusals.front();
    ASSERT_GE(elapsed, 40000u) << "long enough to tell a back-off from a try at every visit";
    EXPECT_GE(refusals.size(), 2u) << "the refused entry is still tried";
    EXPECT_LE(refusals.size(), TriesAllowed(elapsed)) << "tried at every visit instead of backing off";
    EXPECT_EQ(app.messageBox().window, box.window) << "one box for the streak";
    app.answer(box, IDOK);
}

}  // namespace
}  // namespace hb::e2e
