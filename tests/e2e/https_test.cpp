// Guild sites and update servers over HTTPS: an https address, a plain
// site that moved to HTTPS, redirects that are not followed, certificates
// that are refused, and the remembered password kept protected.

#include <gtest/gtest.h>

#include <windows.h>
#include <wincrypt.h>
#include <dpapi.h>

#include <string>
#include <vector>

#include "AppDriver.h"
#include "Scenario.h"
#include "win32/ControlIds.h"

namespace hb::e2e {
namespace {

using namespace hb::win32;

const std::string kAccount1 = "Hoardbook = { owner = \"Account1\", gold = 1200 }\r\n";

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

bool LogContains(const AppDriver& app, const std::wstring& text) {
    return app.text(kIdData).find(text) != std::wstring::npos;
}

class Https : public ::testing::Test {
protected:
    Scenario scenario;
    AppDriver app;

    void SetUp() override { scenario.writeSavedData(L"ACCOUNT1", kAccount1); }

    void start() {
        ASSERT_TRUE(app.start(scenario.programPath(), scenario.programFolder().wstring()));
        ASSERT_TRUE(app.waitForMainWindow(kStartTimeout));
    }
    void startVisible() {
        start();
        ASSERT_TRUE(WaitFor([&] { return app.visible(); }, kStartTimeout));
    }
    void logIn(const std::wstring& address) { app.logIn(address, kLogin, kPassword); }
    std::vector<std::wstring> answerBoxes() { return app.answerBoxes(); }
    static bool AnyIs(const std::vector<std::wstring>& texts, const std::wstring& text) {
        for (const auto& each : texts) {
            if (each == text) return true;
        }
        return false;
    }
    void exitProgram() { ASSERT_TRUE(app.exitProgram()); }
};

TEST_F(Https, AnHttpsSiteIsReachedOverTlsAndTheRememberedPasswordIsNeverStoredInClear) {
    const std::wstring address = Scenario::tlsAddress();
    startVisible();
    app.click(kIdRememberPassword);
    MessageBoxSeen question = app.waitForMessageBox(5000);
    ASSERT_NE(question.window, nullptr);
    app.answer(question, IDYES);
    logIn(L" HTTPS://127.0.0.1:" + address.substr(std::wstring(L"https://127.0.0.1:").size()) + L"/forum/ ");

    ASSERT_TRUE(WaitFor([&] { return !app.visible(); }, kStartTimeout))
        << "logged in";
    EXPECT_EQ(app.text(kIdURL), address);
    EXPECT_EQ(app.text(kIdLabel4), L"https://");
    ASSERT_TRUE(scenario.waitForUploads(1, kStartTimeout));
    EXPECT_EQ(scenario.uploads()[0].scheme, "https");
    EXPECT_EQ(scenario.uploads()[0].answer, "Inventory Uploaded");

    const std::string settings = scenario.readProgramFile(L"settings.txt");
    EXPECT_TRUE(settings.starts_with("raider\r\n" + Narrow(address) + "\r\ndpapi:")) << settings;
    for (const std::string plain : {"gold & glory", "gold+%26+glory", "Z29sZCAmIGdsb3J5"}) {
        EXPECT_EQ(settings.find(plain), std::string::npos) << plain;
    }

    // The watcher's uploads go over TLS too.
    const std::string rewritten = "Hoardbook = { owner = \"Account1\", gold = 1300 }\r\n";
    scenario.writeSavedData(L"ACCOUNT1", rewritten);
    ASSERT_TRUE(WaitFor([&] { return !scenario.uploads().empty() && scenario.uploads().back().fileBytes == rewritten; },
                        4 * kTick));
    EXPECT_EQ(scenario.uploads().back().scheme, "https");
    exitProgram();

    // The next start reads the protected password and logs in by itself.
    const std::size_t before = scenario.uploads().size();
    AppDriver second;
    ASSERT_TRUE(second.start(scenario.programPath(), scenario.programFolder().wstring()));
    ASSERT_TRUE(second.waitForMainWindow(kStartTimeout));
    ASSERT_TRUE(scenario.waitForUploads(before + 1, kStartTimeout));
    EXPECT_EQ(scenario.uploads().back().scheme, "https");
    EXPECT_EQ(scenario.uploads().back().answer, "Inventory Uploaded");
    EXPECT_TRUE(WaitFor([&] { return second.text(kIdData).find(L"Successfully logged in") != std::wstring::npos; },
                        5000));
    EXPECT_TRUE(second.exitProgram());
}

class MovedSite : public Https, public ::testing::WithParamInterface<int> {};

TEST_P(MovedSite, APlainSiteThatMovedToHttpsKeepsReceivingAtItsNewAddress) {
    Scenario::setUpdateServer(Scenario::tlsAddress());  // only the uploads meet the move
    Scenario::redirect("http", GetParam(), Scenario::tlsAddress());
    const std::size_t redirectedBefore = Scenario::redirectedRequests();
    startVisible();
    logIn(Scenario::siteHost());

    ASSERT_TRUE(WaitFor([&] { return !app.visible(); }, kStartTimeout)) << "logged in";
    ASSERT_TRUE(scenario.waitForUploads(1, kStartTimeout));
    EXPECT_EQ(scenario.uploads()[0].scheme, "https");
    EXPECT_EQ(scenario.uploads()[0].fileBytes, kAccount1);
    EXPECT_EQ(app.text(kIdURL), Scenario::tlsAddress());
    EXPECT_EQ(app.text(kIdLabel4), L"https://");
    EXPECT_TRUE(LogContains(app, L"The website moved to " + Scenario::tlsAddress() + L"; uploads go there from now on"));
    EXPECT_EQ(scenario.readProgramFile(L"settings.txt"), "raider\r\n" + Narrow(Scenario::tlsAddress()) + "\r\n\r\n");
    const std::size_t redirected = Scenario::redirectedRequests();
    EXPECT_EQ(redirected, redirectedBefore + 1) << "one plain request, the login's";

    // Later uploads go straight to the new address, never to the plain one.
    const std::string rewritten = "Hoardbook = { owner = \"Account1\", gold = 1400 }\r\n";
    scenario.writeSavedData(L"ACCOUNT1", rewritten);
    ASSERT_TRUE(WaitFor([&] { return !scenario.uploads().empty() && scenario.uploads().back().fileBytes == rewritten; },
                        4 * kTick));
    for (const Upload& upload : scenario.uploads()) EXPECT_EQ(upload.scheme, "https");
    EXPECT_EQ(Scenario::redirectedRequests(), redirected);
}

INSTANTIATE_TEST_SUITE_P(PermanentAndTemporary, MovedSite, ::testing::Values(301, 308));

TEST_F(Https, ARedirectToAnotherHostOrBackToPlainHttpIsNotFollowed) {
    // Another host name (the same server, so only the rule can refuse it).
    const std::wstring port = Scenario::tlsAddress().substr(std::wstring(L"https://127.0.0.1:").size());
    Scenario::setUpdateServer(Scenario::tlsAddress());  // the start-up check is not redirected
    Scenario::redirect("http", 301, L"https://localhost:" + port);
    startVisible();
    logIn(Scenario::siteHost());
    std::vector<std::wstring> boxes = answerBoxes();
    EXPECT_TRUE(AnyIs(boxes, L"The website answered with a redirect (HTTP status 301) instead of taking the upload; "
                             L"the data was not sent on."));
    EXPECT_TRUE(scenario.uploads().empty());
    EXPECT_EQ(app.text(kIdURL), Scenario::siteHost());

    // From HTTPS back to plain HTTP.
    Scenario::redirect("https", 302, L"http://" + Scenario::siteHost());
    logIn(Scenario::tlsAddress());
    boxes = answerBoxes();
    EXPECT_TRUE(AnyIs(boxes, L"The website answered with a redirect (HTTP status 302) instead of taking the upload; "
                             L"the data was not sent on."));
    EXPECT_TRUE(scenario.uploads().empty());
    EXPECT_TRUE(app.visible() && app.enabled(kIdCommand1)) << "still logged out";
}

TEST_F(Https, ACertificateThatIsUntrustedExpiredOrForAnotherNameStopsTheUpload) {
    Scenario::setUpdateServer(Scenario::tlsAddress());
    startVisible();
    for (const wchar_t* port : {L"HB_TLS_UNTRUSTED_PORT", L"HB_TLS_EXPIRED_PORT", L"HB_TLS_WRONG_NAME_PORT"}) {
        logIn(Scenario::tlsAddress(port));
        const std::vector<std::wstring> boxes = answerBoxes();
        ASSERT_FALSE(boxes.empty()) << port;
        EXPECT_NE(boxes[0].find(L"certificate"), std::wstring::npos) << port << ": " << boxes[0];
        EXPECT_TRUE(LogContains(app, L"Error Sending the following data to " + Scenario::tlsAddress(port)));
        EXPECT_TRUE(scenario.uploads().empty()) << "nothing delivered through " << port;
    }
    EXPECT_TRUE(app.enabled(kIdCommand1)) << "still logged out";
}

TEST_F(Https, TheAddOnComesFromAnUpdateServerOverHttps) {
    Scenario::setUpdateServer(Scenario::tlsAddress());
    Scenario::publishAddon("1.2");
    start();
    MessageBoxSeen box = app.waitForMessageBox(kStartTimeout);
    ASSERT_NE(box.window, nullptr);
    EXPECT_NE(box.text.find(L"1.2"), std::wstring::npos) << box.text;
    app.answer(box, IDOK);
    EXPECT_EQ(scenario.readAddonFile(L"Hoardbook.toc"), Scenario::addonToc("1.2") + "\r\n");
    EXPECT_EQ(scenario.readAddonFile(L"Hoardbook.lua"), Scenario::addonLua("1.2") + "\r\n");
}

// DPAPI output of another key, as another user's or computer's file holds it.
std::string ForeignProtectedLine() {
    std::string plain = "gold & glory";
    DATA_BLOB in{static_cast<DWORD>(plain.size()), reinterpret_cast<BYTE*>(plain.data())};
    char other[] = "another user";
    DATA_BLOB entropy{sizeof other - 1, reinterpret_cast<BYTE*>(other)};
    DATA_BLOB out{};
    if (!::CryptProtectData(&in, nullptr, &entropy, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN, &out)) return {};
    DWORD length = 0;
    ::CryptBinaryToStringA(out.pbData, out.cbData, CRYPT_STRING_BASE64 | CRYPT_STRING_NOCRLF, nullptr, &length);
    std::string text(length, '\0');
    ::CryptBinaryToStringA(out.pbData, out.cbData, CRYPT_STRING_BASE64 | CRYPT_STRING_NOCRLF, text.data(), &length);
    text.resize(length);
    ::LocalFree(out.pbData);
    return "dpapi:" + text;
}

TEST_F(Https, AProtectedPasswordFromAnotherUserCountsAsNone) {
    const std::string line = ForeignProtectedLine();
    ASSERT_FALSE(line.empty());
    scenario.writeSettings("raider\r\n" + Narrow(Scenario::tlsAddress()) + "\r\n" + line + "\r\n");
    startVisible();
    EXPECT_TRUE(WaitFor([&] { return LogContains(app, L"holds a remembered password that this Windows user cannot read"); },
                        5000));
    ::Sleep(2000);
    EXPECT_TRUE(scenario.uploads().empty()) << "never sent";
    EXPECT_EQ(app.text(kIdPassword), L"");
    EXPECT_EQ(app.checkState(kIdRememberPassword), BST_UNCHECKED);
    EXPECT_TRUE(app.enabled(kIdCommand1)) << "no automatic login";
}

}  // namespace
}  // namespace hb::e2e
