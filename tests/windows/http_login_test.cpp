// Logging in through the real window against the reference guild site.

#include "SiteForm.h"

namespace hb::test {
namespace {

using win32::kIdCommand1;
using win32::kIdCommand3;
using win32::kIdLogin;
using win32::kIdPassword;
using win32::kIdURL;

class LoginAgainstSite : public SiteForm {
protected:
    void SetUp() override {
        SiteForm::SetUp();
        addSavedData("FIRST", "first = 1\r\n");
        addSavedData("SECOND", "second = 2\r\n");
        scan();
        window.show();
    }
    bool loggedOut() const {
        return enabled(kIdURL) && enabled(kIdLogin) && enabled(kIdPassword) && enabled(kIdCommand1) &&
               !enabled(kIdCommand3) && !window.timerEnabled(Timer::UpdateTimer);
    }
    std::string dataOf(int index) const {
        std::string name;
        for (wchar_t c : window.itemText(index)) name.push_back(static_cast<char>(c));
        return name == "FIRST" ? "first = 1\r\n" : "second = 2\r\n";
    }
};

TEST_F(LoginAgainstSite, ASuccessfulLoginHidesTheWindowStartsTheWatcherAndLocksTheFields) {
    const int before = received();
    window.setText(Control::URL, L"  http://127.0.0.1:" + sitePort + L"/guild/index.php ");

    click(kIdCommand1);

    EXPECT_EQ(window.text(Control::URL), L"127.0.0.1:" + sitePort);
    EXPECT_FALSE(::IsWindowVisible(window.handle()));
    EXPECT_TRUE(window.timerEnabled(Timer::UpdateTimer));
    EXPECT_FALSE(enabled(kIdURL));
    EXPECT_FALSE(enabled(kIdLogin));
    EXPECT_FALSE(enabled(kIdPassword));
    EXPECT_FALSE(enabled(kIdCommand1));
    EXPECT_TRUE(enabled(kIdCommand3));
    EXPECT_TRUE(logHas(L": Successfully logged in\r\n"));
    EXPECT_TRUE(boxes.shown.empty());
    ASSERT_EQ(received(), before + 1);
    EXPECT_EQ(receivedFile(before + 1), dataOf(0));
    EXPECT_EQ(ReadBytes(temp.path() / "Program" / "settings.txt"),
              "Officer Bob\r\n127.0.0.1:" + std::string(sitePort.begin(), sitePort.end()) + "\r\n\r\n");
}

TEST_F(LoginAgainstSite, AWrongPasswordIsRejectedAndStaysLoggedOut) {
    window.setText(Control::Password, L"wrong");
    click(kIdCommand1);

    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, L"Invalid Login/Password");
    EXPECT_TRUE(loggedOut());
    EXPECT_TRUE(::IsWindowVisible(window.handle()));
    EXPECT_FALSE(logHas(L"Successfully logged in"));
}

TEST_F(LoginAgainstSite, AnAddressWhereNoSiteAnswersIsReportedAndStaysLoggedOut) {
    options.httpDeadlineMs = 3000;
    SiteForm::SetUp();  // a form with the shorter deadline
    scan();
    window.setText(Control::URL, L"127.0.0.1:1");

    click(kIdCommand1);

    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[1].text, L"Invalid URL.  Please make sure you've entered it correctly");
    EXPECT_TRUE(logHas(L"Error Sending the following data to http://127.0.0.1:1/memberbankupload.php"));
    EXPECT_FALSE(logHas(L"s3cret"));
    EXPECT_TRUE(loggedOut());
}

TEST_F(LoginAgainstSite, LogOutThenOkUploadsTheNextCheckedEntry) {
    const int before = received();
    click(kIdCommand1);
    ASSERT_FALSE(enabled(kIdLogin));

    click(kIdCommand3);
    EXPECT_TRUE(loggedOut());
    click(kIdCommand1);

    EXPECT_FALSE(enabled(kIdLogin));
    ASSERT_EQ(received(), before + 2);
    EXPECT_EQ(receivedFile(before + 1), dataOf(0));
    EXPECT_EQ(receivedFile(before + 2), dataOf(1));
}

TEST_F(LoginAgainstSite, SavedSettingsWithAllThreeLinesLogInByThemselvesAtStartUp) {
    // A fresh form, started the way the program starts.
    window.setText(Control::URL, L"");
    window.setText(Control::Login, L"");
    window.setText(Control::Password, L"");
    window.hide();
    std::ofstream(temp.path() / "Program" / "settings.txt", std::ios::binary)
        << "Officer Bob\r\n127.0.0.1:" << std::string(sitePort.begin(), sitePort.end()) << "\r\ns3cret pass\r\n";
    makeForm();
    const int before = received();

    window.load();

    EXPECT_EQ(window.checkValue(Control::RememberPassword), 1);
    EXPECT_FALSE(enabled(kIdLogin));
    EXPECT_TRUE(window.timerEnabled(Timer::UpdateTimer));
    EXPECT_TRUE(logHas(L"Successfully logged in"));
    EXPECT_GE(received(), before + 1);
    bool loginArrived = false;
    for (int n = before + 1; n <= received(); ++n) {
        loginArrived = loginArrived || ReadBytes(siteData / "received" / std::to_string(n) / "login") == "Officer+Bob";
    }
    EXPECT_TRUE(loginArrived);
}

}  // namespace
}  // namespace hb::test
