// A login while the site is slow, strict or not there yet: one login at a
// time, a wrong password answered with 401 or 403, and start-up's
// automatic login that waits for the network.

#include <gtest/gtest.h>

#include "UploadsFixture.h"

namespace hb::test {
namespace {

using WStrings = std::vector<std::wstring>;

class LoginWaits : public UploadsFixture {
protected:
    LoginWaits() {
        addEntry("A");
        addEntry("B");
        scan();
        window.show();
    }

    std::size_t count(const std::wstring& text) const {
        std::size_t n = 0;
        for (std::size_t at = log().find(text); at != std::wstring::npos; at = log().find(text, at + 1)) ++n;
        return n;
    }
    // Remembered settings that log in by themselves at start-up.
    void rememberLogin() {
        temp.write("Program/settings.txt", "bob\r\nguild.example\r\n" + rememberedLine(L"secret pass") + "\r\n");
    }
    // Timer1's ticks, a second apart, for as long as given or until done.
    template <typename Done>
    bool secondsUntil(int maxSeconds, Done done) {
        for (int i = 0; i < maxSeconds; ++i) {
            if (done()) return true;
            process.nowMs += 1000;
            form->onTimer(Timer::Timer1);
        }
        return done();
    }
};

TEST_F(LoginWaits, InvalidLoginPasswordWith401Or403IsARejectedLoginAtTheLogin) {
    siteReply = L"Invalid Login/Password";
    for (int status : {401, 403}) {
        SCOPED_TRACE(status);
        boxes.shown.clear();
        siteStatus = status;
        form->Command1_Click();
        EXPECT_EQ(boxTexts(), WStrings{L"Invalid Login/Password"});
        EXPECT_TRUE(showsLoggedOut());
        EXPECT_FALSE(logHas(L"Error Sending")) << "a wrong password is no lost upload";
    }
    // Another status is a failure of its own, whatever the text says.
    boxes.shown.clear();
    siteStatus = 500;
    form->Command1_Click();
    EXPECT_EQ(boxTexts(), (WStrings{L"The website answered with HTTP status 500 instead of taking the upload.",
                                    L"Invalid URL.  Please make sure you've entered it correctly"}));
}

TEST_F(LoginWaits, InvalidLoginPasswordWith401Or403PausesTheWatcherAsA200Does) {
    for (int status : {401, 403}) {
        SCOPED_TRACE(status);
        form->Command3_Click();
        siteReply = L"Inventory Uploaded";
        siteStatus = 200;
        form->Command1_Click();
        ASSERT_TRUE(showsLoggedIn());
        boxes.shown.clear();
        const std::size_t sent = http.requests.size();
        siteReply = L"Invalid Login/Password";
        siteStatus = status;
        for (int i = 0; i < 6; ++i) {
            process.nowMs += 5000;
            form->UpdateTimer_Timer();
        }
        EXPECT_EQ(http.requests.size(), sent + 1) << "paused after the first rejection, not retried as an outage";
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_NE(boxes.shown[0].text.find(L"The website rejected the login"), std::wstring::npos);
    }
}

TEST_F(LoginWaits, OkPressedThreeTimesDuringASlowLoginSendsOneUpload) {
    int presses = 0;
    whileUploading = [&] {
        // 6 s of waiting; the player presses OK (and Enter) meanwhile.
        if (process.pumpCount % 150 == 0 && presses < 3) {
            ++presses;
            window.userClick(Control::Command1);
        }
    };
    http.responder = [this, base = http.responder](const RecordedRequest& request) {
        FakeResponse response = base(request);
        response.pollsUntilDone = 600;
        return response;
    };

    form->Command1_Click();

    EXPECT_EQ(presses, 3);
    EXPECT_EQ(http.requests.size(), 1u);
    EXPECT_EQ(count(L"Successfully logged in"), 1u);
    EXPECT_TRUE(showsLoggedIn());
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(LoginWaits, LogOutDuringTheWaitEndsItQuietly) {
    whileUploading = [&] {
        if (process.pumpCount == 100) {
            EXPECT_TRUE(window.enabled(Control::Command3)) << "Log Out can end the wait";
            window.userClick(Control::Command3);
        }
    };
    http.responder = [this, base = http.responder](const RecordedRequest& request) {
        FakeResponse response = base(request);
        response.neverCompletes = true;
        return response;
    };

    form->Command1_Click();

    EXPECT_TRUE(showsLoggedOut());
    EXPECT_TRUE(http.requests.at(0)->aborted);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_FALSE(logHas(L"Successfully logged in"));
    EXPECT_LT(process.nowMs, 60000) << "ended by the click, not by the deadline";
}

TEST_F(LoginWaits, StartupLoginWaitsForTheNetworkAndLogsInSoonAfterTheSiteAppears) {
    rememberLogin();
    siteDown = true;  // Wi-Fi still connecting at logon
    const std::int64_t siteAppears = process.nowMs + 30000;

    form->LoadSettings();
    EXPECT_FALSE(showsLoggedIn());
    EXPECT_TRUE(window.enabled(Control::Command3)) << "Log Out stops the tries";

    const bool in = secondsUntil(120, [&] {
        siteDown = process.nowMs < siteAppears;
        return showsLoggedIn();
    });

    ASSERT_TRUE(in) << log();
    EXPECT_LE(process.nowMs - siteAppears, 60000);
    EXPECT_TRUE(boxes.shown.empty()) << "quiet while it waits";
    EXPECT_EQ(count(L"Successfully logged in"), 1u);
    EXPECT_GE(count(L"The automatic login got no answer from the website"), 3u) << "one line per try";
    EXPECT_FALSE(logHas(L"Error Sending")) << "one short line per try, no data";
    EXPECT_EQ(window.state(), WindowState::Minimised);
    // The watcher runs: a change goes out.
    const std::size_t sent = http.requests.size();
    process.nowMs += 5000;
    form->UpdateTimer_Timer();
    EXPECT_EQ(http.requests.size(), sent + 1);
}

TEST_F(LoginWaits, StartupLoginGivesUpAfterTenMinutesWithOneBox) {
    rememberLogin();
    siteDown = true;
    form->LoadSettings();
    secondsUntil(15 * 60, [] { return false; });

    EXPECT_EQ(boxTexts(), WStrings{L"The server could not be reached\r\n\r\nThe automatic login got no answer from the "
                                   L"website for 10 minutes. Press OK to log in once the website can be reached."});
    EXPECT_TRUE(showsLoggedOut());
    const std::size_t tries = http.requests.size();
    EXPECT_GE(tries, 20u);
    EXPECT_LE(tries, 30u) << "backing off, not a try every second";
    EXPECT_TRUE(logHas(L"The automatic login got no answer from the website for 10 minutes and was given up"));
    secondsUntil(60, [] { return false; });
    EXPECT_EQ(http.requests.size(), tries) << "given up";
}

TEST_F(LoginWaits, StartupLoginThatTheSiteRejectsIsNotTriedAgain) {
    rememberLogin();
    siteReply = L"Invalid Login/Password";
    siteStatus = 401;
    form->LoadSettings();
    secondsUntil(120, [] { return false; });
    EXPECT_EQ(http.requests.size(), 1u);
    EXPECT_EQ(boxTexts(), WStrings{L"Invalid Login/Password"});
}

TEST_F(LoginWaits, LogOutOrTheUsersOwnLoginEndsTheAutomaticTries) {
    rememberLogin();
    siteDown = true;
    form->LoadSettings();
    form->Command3_Click();
    secondsUntil(120, [] { return false; });
    EXPECT_EQ(http.requests.size(), 1u);
    EXPECT_TRUE(showsLoggedOut());

    form->LoadSettings();
    siteDown = false;
    form->Command1_Click();  // the player's own OK
    EXPECT_TRUE(showsLoggedIn());
    const std::size_t sent = http.requests.size();
    secondsUntil(120, [] { return false; });
    EXPECT_EQ(http.requests.size(), sent) << "no automatic try after the login";
}

}  // namespace
}  // namespace hb::test
