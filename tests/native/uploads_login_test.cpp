// Logging in by the first upload, its three outcomes, and logging out.

#include <gtest/gtest.h>

#include "UploadsFixture.h"

namespace hb::test {
namespace {

using Strings = std::vector<std::string>;
using WStrings = std::vector<std::wstring>;

class Login : public UploadsFixture {
protected:
    Login() {
        addEntry("A");
        addEntry("B");
        scan();
        window.show();
    }
    // UpdateTimer's ticks, 5 s apart.
    void tick(int count) {
        for (int i = 0; i < count; ++i) {
            process.nowMs += 5000;
            form->UpdateTimer_Timer();
        }
    }

};

TEST_F(Login, InventoryUploadedLogsInHidesTheWindowAndStartsTheWatcher) {
    form->Command1_Click();

    EXPECT_TRUE(showsLoggedIn());
    EXPECT_FALSE(window.visible());
    EXPECT_EQ(window.state(), WindowState::Minimised);
    EXPECT_TRUE(logHas(L"Successfully logged in"));
    EXPECT_TRUE(boxes.shown.empty());
    // The first login after start-up sends the first checked entry, and
    // records no stamp: the watcher sends it again on its first visit.
    EXPECT_EQ(uploads(), Strings{dataOf(0)});
    // The watcher goes on after it, and comes back to it.
    tick(3);
    EXPECT_EQ(uploads(), (Strings{dataOf(0), dataOf(1), dataOf(0)}));
}

TEST_F(Login, RejectedLoginAndUnknownRepliesStayLoggedOut) {
    struct Case {
        std::wstring reply;
        std::wstring box;
    };
    const Case cases[] = {
        {L"Invalid Login/Password", L"Invalid Login/Password"},
        {L"Inventory Uploaded\r\n", L"Invalid URL.  Please make sure you've entered it correctly"},
        {L"inventory uploaded", L"Invalid URL.  Please make sure you've entered it correctly"},
        {L"", L"Invalid URL.  Please make sure you've entered it correctly"},
        {L"<html>It works!</html>", L"Invalid URL.  Please make sure you've entered it correctly"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.reply.begin(), c.reply.end()));
        boxes.shown.clear();
        siteReply = c.reply;
        form->Command1_Click();
        EXPECT_EQ(boxTexts(), WStrings{c.box});
        EXPECT_EQ(boxes.shown.at(0).title, L"HoardbookUploader");
        EXPECT_EQ(boxes.shown.at(0).buttons, BoxButtons::Ok);
        EXPECT_EQ(boxes.shown.at(0).icon, BoxIcon::None);
        EXPECT_TRUE(showsLoggedOut());
        EXPECT_TRUE(window.visible());
        EXPECT_FALSE(logHas(L"Successfully logged in"));
    }
}

TEST_F(Login, ATransportFailureIsReportedAndThenTakenForAWrongAddress) {
    siteDown = true;
    form->Command1_Click();
    EXPECT_EQ(boxTexts(), (WStrings{L"The server could not be reached",
                                    L"Invalid URL.  Please make sure you've entered it correctly"}));
    EXPECT_TRUE(showsLoggedOut());
}

TEST_F(Login, EmptyFieldsAreReportedInOrderLoginPasswordAddress) {
    struct Case {
        std::wstring login, password, url, box;
    };
    const Case cases[] = {
        {L"", L"", L"", L"Please enter your login name for your website"},
        {L"", L"p", L"g", L"Please enter your login name for your website"},
        {L"bob", L"", L"", L"Please enter your password for your website"},
        {L"bob", L"p", L"", L"Please enter the URL of your website"},
    };
    for (const Case& c : cases) {
        boxes.shown.clear();
        window.setText(Control::Login, c.login);
        window.setText(Control::Password, c.password);
        window.setText(Control::URL, c.url);
        form->Command1_Click();
        EXPECT_EQ(boxTexts(), WStrings{c.box});
        EXPECT_TRUE(http.requests.empty());
        EXPECT_FALSE(temp.exists("Program/settings.txt"));  // stopped before the save
    }
    // Nothing was chosen meanwhile: the login sends the first entry.
    window.setText(Control::Login, L"bob");
    window.setText(Control::Password, L"p");
    window.setText(Control::URL, L"g");
    form->Command1_Click();
    EXPECT_EQ(uploads(), Strings{dataOf(0)});
}

TEST_F(Login, BlankOnlyFieldsAreNotEmpty) {
    window.setText(Control::Password, L"   ");
    form->Command1_Click();
    EXPECT_TRUE(showsLoggedIn());
    ASSERT_EQ(http.requests.size(), 1u);
    EXPECT_NE(http.requests[0]->body->find("\r\n\r\n+++\r\n"), std::string::npos);
}

TEST_F(Login, NormalisesTheAddressSavesItAndUploadsToTheBareHost) {
    window.setText(Control::URL, L"  HTTP://guild.example:8080\\members/index.php  ");
    siteReply = L"Invalid Login/Password";  // settings are saved whatever the outcome

    form->Command1_Click();

    EXPECT_EQ(window.text(Control::URL), L"guild.example:8080");
    ASSERT_EQ(http.requests.size(), 1u);
    EXPECT_EQ(http.requests[0]->url, L"http://guild.example:8080/memberbankupload.php");
    EXPECT_EQ(temp.read("Program/settings.txt"), "bob\r\nguild.example:8080\r\n\r\n");
}

TEST_F(Login, AnHttpsAddressIsKeptShownByTheLabelSavedAndUsed) {
    EXPECT_EQ(window.text(Control::Label4), L"http://");
    window.setText(Control::URL, L" HTTPS://guild.example:8443/forum ");
    form->Command1_Click();

    EXPECT_TRUE(showsLoggedIn());
    EXPECT_EQ(window.text(Control::URL), L"https://guild.example:8443");
    EXPECT_EQ(window.text(Control::Label4), L"https://");
    ASSERT_EQ(http.requests.size(), 1u);
    EXPECT_EQ(http.requests[0]->url, L"https://guild.example:8443/memberbankupload.php");
    EXPECT_EQ(temp.read("Program/settings.txt"), "bob\r\nhttps://guild.example:8443\r\n\r\n");

    // Typing a plain address gives the plain label back.
    form->Command3_Click();
    window.setText(Control::URL, L"guild.example");
    EXPECT_EQ(window.text(Control::Label4), L"http://");
}

TEST_F(Login, ASiteThatMovedToHttpsIsFollowedOnceThenUsedAtItsNewAddress) {
    siteMovedTo = L"https://guild.example";
    form->Command1_Click();

    EXPECT_TRUE(showsLoggedIn());
    EXPECT_EQ(window.text(Control::URL), L"https://guild.example");
    EXPECT_EQ(window.text(Control::Label4), L"https://");
    EXPECT_EQ(temp.read("Program/settings.txt"), "bob\r\nhttps://guild.example\r\n\r\n");
    EXPECT_TRUE(logHas(L"The website moved to https://guild.example; uploads go there from now on"));
    EXPECT_TRUE(logHas(L"Successfully logged in"));
    EXPECT_TRUE(boxes.shown.empty());
    ASSERT_EQ(http.requests.size(), 2u);
    EXPECT_EQ(http.requests[0]->url, L"http://guild.example/memberbankupload.php");
    EXPECT_EQ(http.requests[1]->url, L"https://guild.example/memberbankupload.php");

    // From now on nothing goes to the plain address.
    form->UpdateTimer_Timer();
    form->UpdateTimer_Timer();
    ASSERT_EQ(http.requests.size(), 4u);
    for (std::size_t i = 2; i < http.requests.size(); ++i) {
        EXPECT_EQ(http.requests[i]->url, L"https://guild.example/memberbankupload.php");
    }
    const std::wstring said = L"The website moved to";
    EXPECT_EQ(log().find(said), log().rfind(said)) << "logged once";
}

TEST_F(Login, OkWhileLoggedInOnlyHidesTheWindow) {
    form->Command1_Click();
    window.show();
    window.setState(WindowState::Normal);
    const auto sent = http.requests.size();

    form->Command1_Click();

    EXPECT_FALSE(window.visible());
    EXPECT_EQ(http.requests.size(), sent);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(Login, LogOutThenOkUploadsTheNextCheckedEntry) {
    form->Command1_Click();
    form->Command3_Click();
    EXPECT_TRUE(showsLoggedOut());
    EXPECT_FALSE(window.visible());  // log out neither shows nor hides

    form->Command1_Click();

    EXPECT_TRUE(showsLoggedIn());
    EXPECT_EQ(uploads(), (Strings{dataOf(0), dataOf(1)}));
}

TEST_F(Login, LogOutSendsNothingAndKeepsTheCursorAndStamps) {
    form->Command1_Click();
    tick(2);  // the watcher sends B, then A: both stamped, A handled last
    ASSERT_EQ(uploads(), (Strings{dataOf(0), dataOf(1), dataOf(0)}));
    const auto logBefore = log();

    form->Command3_Click();

    EXPECT_EQ(uploads().size(), 3u);
    EXPECT_EQ(log(), logBefore);
    rewrite(nameOf(0), "changed\r\n", kBaseTime + std::chrono::hours(1));
    tick(2);
    EXPECT_EQ(uploads().size(), 3u) << "logged out, nothing goes";

    // The next login goes on after A; the watcher sends only the change.
    form->Command1_Click();
    tick(3);
    EXPECT_EQ(uploads(), (Strings{dataOf(0), dataOf(1), dataOf(0), dataOf(1), "changed\r\n"}));
}

TEST_F(Login, WithNoEntryCheckedTheLoginCarriesEmptyData) {
    window.setItemChecked(0, false);
    window.setItemChecked(1, false);
    form->Command1_Click();
    EXPECT_EQ(uploads(), Strings{""});
    EXPECT_TRUE(showsLoggedIn());
}

TEST_F(Login, AnEntryWhoseFileCannotBeReadGivesWayToTheNextCheckedOne) {
    std::filesystem::remove(savedDataFile(nameOf(0)));

    EXPECT_NO_THROW(form->Command1_Click());

    EXPECT_TRUE(showsLoggedIn());
    EXPECT_EQ(uploads(), Strings{dataOf(1)});
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_TRUE(logHas(L"The saved data of " + window.itemText(0) + L" could not be read, so the login sent " +
                       window.itemText(1)));
}

TEST_F(Login, WhenNoCheckedEntryCanBeReadTheFirstIsReportedInsteadOfEndingTheProgram) {
    std::filesystem::remove(savedDataFile(nameOf(0)));
    std::filesystem::remove(savedDataFile(nameOf(1)));

    EXPECT_NO_THROW(form->Command1_Click());

    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text.rfind(L"The saved data of " + window.itemText(0) + L" could not be read", 0), 0u);
    EXPECT_TRUE(http.requests.empty());
    EXPECT_TRUE(showsLoggedOut());
    // Pressing "OK" again once the game has written a file logs in. The
    // cursor went round once, back to the first: the next entry is sent
    // without trying the first again.
    addEntry(nameOf(1));
    form->Command1_Click();
    EXPECT_TRUE(showsLoggedIn());
    EXPECT_EQ(uploads(), Strings{dataOf(1)});
    EXPECT_FALSE(logHas(L"so the login sent"));
}

}  // namespace
}  // namespace hb::test
