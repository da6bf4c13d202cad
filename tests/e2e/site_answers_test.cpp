// What the guild site answers, beyond "Inventory Uploaded": a login it
// rejects while the program watches, an error status, a redirect.

#include <gtest/gtest.h>
#include <winsock2.h>

#include <atomic>
#include <mutex>
#include <thread>

#include "AppDriver.h"
#include "LoopbackSite.h"
#include "Scenario.h"
#include "win32/ControlIds.h"

namespace hb::e2e {
namespace {

using namespace hb::win32;


const std::string kAccount1 = "Hoardbook = { owner = \"Account1\", gold = 1200 }\r\n";

// A loopback site that answers every request with the same bytes and counts
// the requests it got.
class CannedSite {
public:
    explicit CannedSite(std::string answer)
        : answer_(std::move(answer)), site_([this](const std::string&) {
              ++requests_;
              return answer_;
          }) {}

    std::wstring host() const { return site_.host(); }
    int requests() const { return requests_; }

private:
    std::string answer_;
    std::atomic<int> requests_{0};
    LoopbackSite site_;  // last: its thread uses the members above
};

bool LogContains(const AppDriver& app, const std::wstring& text) {
    return app.text(kIdData).find(text) != std::wstring::npos;
}

int Occurrences(const std::wstring& text, const std::wstring& part) {
    int count = 0;
    for (auto at = text.find(part); at != std::wstring::npos; at = text.find(part, at + part.size())) ++count;
    return count;
}

class SiteAnswers : public ::testing::Test {
protected:
    Scenario scenario;
    AppDriver app;

    void SetUp() override {
        scenario.writeSavedData(L"ACCOUNT1", kAccount1);
        ASSERT_TRUE(app.start(scenario.programPath(), scenario.programFolder().wstring()));
        ASSERT_TRUE(app.waitForMainWindow(kStartTimeout));
        ASSERT_TRUE(WaitFor([&] { return app.visible(); }, kStartTimeout));
    }

    void logIn(const std::wstring& host, const std::wstring& password = kPassword) {
        app.logIn(host, kLogin, password);
    }
    std::vector<std::wstring> answerBoxes() { return app.answerBoxes(); }
};

std::wstring Joined(const std::vector<std::wstring>& texts) {
    std::wstring all;
    for (const auto& text : texts) all += text + L"\n";
    return all;
}

TEST_F(SiteAnswers, ErrorStatusIsNoSuccessWhateverItsText) {
    CannedSite site(HttpAnswer("500 Internal Server Error", "", "Inventory Uploaded"));
    logIn(site.host());
    std::vector<std::wstring> boxes = answerBoxes();
    ASSERT_FALSE(boxes.empty());
    EXPECT_NE(Joined(boxes).find(L"500"), std::wstring::npos) << Joined(boxes);
    EXPECT_EQ(site.requests(), 1);
    EXPECT_FALSE(LogContains(app, L"Successfully logged in"));
    EXPECT_TRUE(app.enabled(kIdLogin)) << "still logged out";
    EXPECT_TRUE(app.visible());
}

TEST_F(SiteAnswers, RedirectedUploadIsAFailureAndIsNotFollowed) {
    CannedSite elsewhere(HttpAnswer("200 OK", "", "Inventory Uploaded"));
    const std::wstring elsewhereHost = elsewhere.host();
    CannedSite site(HttpAnswer(
        "302 Found", "Location: http://" + std::string(elsewhereHost.begin(), elsewhereHost.end()) + "/memberbankupload.php\r\n",
        ""));
    logIn(site.host());
    std::vector<std::wstring> boxes = answerBoxes();
    ASSERT_FALSE(boxes.empty());
    EXPECT_NE(Joined(boxes).find(L"redirect"), std::wstring::npos) << Joined(boxes);
    EXPECT_EQ(site.requests(), 1);
    EXPECT_EQ(elsewhere.requests(), 0) << "the data is never sent on (or dropped) to another address";
    EXPECT_FALSE(LogContains(app, L"Successfully logged in"));
    EXPECT_TRUE(app.enabled(kIdLogin));
}

TEST_F(SiteAnswers, LoginRejectedWhileWatchingIsToldOnceAndSendingStopsUntilTheUserLogsInAgain) {
    logIn(Scenario::siteHost());
    // The login's upload and the watcher's first visit.
    ASSERT_TRUE(scenario.waitForUploads(2, 4 * kTick));

    // The password is changed on the website.
    Scenario::setSitePassword("new glory");
    const std::string changed = "Hoardbook = { owner = \"Account1\", gold = 7 }\r\n";
    scenario.writeSavedData(L"ACCOUNT1", changed);
    ASSERT_TRUE(scenario.waitForUploads(3, 3 * kTick));
    EXPECT_EQ(scenario.uploads()[2].answer, "Invalid Login/Password");
    MessageBoxSeen box = app.waitForMessageBox(kTick);
    ASSERT_NE(box.window, nullptr) << "the user is told";
    EXPECT_NE(box.text.find(L"rejected"), std::wstring::npos) << box.text;

    // The file changes again: nothing is sent while the login is rejected,
    // and nothing more is said.
    const std::string changedAgain = "Hoardbook = { owner = \"Account1\", gold = 8 }\r\n";
    scenario.writeSavedData(L"ACCOUNT1", changedAgain);
    EXPECT_FALSE(scenario.waitForUploads(4, 4 * kTick)) << "no upload with a rejected login";
    EXPECT_EQ(Occurrences(app.text(kIdData), L"rejected"), 1) << app.text(kIdData);
    app.answer(box, IDOK);
    EXPECT_EQ(app.messageBox().window, nullptr) << "one box";

    // The user logs out and in again with the new password: uploads go on.
    ASSERT_TRUE(app.bringBack());
    app.click(kIdCommand3);
    ASSERT_TRUE(WaitFor([&] { return app.enabled(kIdLogin); }, 5000));
    logIn(Scenario::siteHost(), L"new glory");
    ASSERT_TRUE(WaitFor([&] { return Occurrences(app.text(kIdData), L"Successfully logged in") == 2; }, 3 * kTick));
    ASSERT_TRUE(scenario.waitForUploads(4, 3 * kTick));
    EXPECT_EQ(scenario.uploads()[3].fileBytes, changedAgain);
    EXPECT_EQ(scenario.uploads()[3].answer, "Inventory Uploaded");
}

}  // namespace
}  // namespace hb::e2e
