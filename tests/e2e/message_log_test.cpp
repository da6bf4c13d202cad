// The message log of the built program under Wine: a failed upload of a
// large saved-data file is logged in its documented form without the window
// stopping to answer.

#include <gtest/gtest.h>

#include "AppDriver.h"
#include "Scenario.h"
#include "SiteProxy.h"
#include "win32/ControlIds.h"

namespace hb::e2e {
namespace {

using namespace hb::win32;

// A generous bound for one message to be handled: a window that misses it
// has stopped answering, as a user would see it.
constexpr UINT kAnswerMs = 5000;

bool Answers(HWND window) {
    DWORD_PTR ignored = 0;
    return ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, kAnswerMs, &ignored) != 0;
}

TEST(MessageLog, AFailedUploadOfTwentyMegabytesIsLoggedShortAndTheWindowKeepsAnswering) {
    Scenario scenario;
    SiteProxy site(Scenario::sitePort());
    site.down();
    const std::wstring host = L"127.0.0.1:" + std::to_wstring(site.port());
    std::string huge(20 * 1024 * 1024, 'x');
    huge.replace(0, 13, "Hoardbook = {");
    for (std::size_t line = 4096; line < huge.size(); line += 4096) huge.replace(line - 2, 2, "\r\n");
    scenario.writeSavedData(L"ACCOUNT1", huge);

    AppDriver app;
    ASSERT_TRUE(app.start(scenario.programPath(), scenario.programFolder().wstring()));
    ASSERT_TRUE(app.waitForMainWindow(kStartTimeout));
    ASSERT_TRUE(WaitFor([&] { return app.visible(); }, kStartTimeout));
    app.setText(kIdURL, host);
    app.setText(kIdLogin, kLogin);
    app.setText(kIdPassword, kPassword);
    app.pressEnter(kIdPassword);

    // Nothing listens: the login's upload fails and says so in a box; the
    // log entry follows once it is answered, then the login's own box.
    auto failure = app.waitForMessageBox(120000);
    ASSERT_NE(failure.window, nullptr);
    app.answer(failure, IDOK);

    bool alwaysAnswered = true;
    MessageBoxSeen invalid;
    bool logged = WaitFor(
        [&] {
            alwaysAnswered = Answers(app.mainWindow()) && alwaysAnswered;
            invalid = app.messageBox();
            return invalid.window != nullptr && invalid.window != failure.window;
        },
        120000);
    EXPECT_TRUE(alwaysAnswered) << "the window stopped answering while it logged the failure";
    ASSERT_TRUE(logged);
    EXPECT_EQ(invalid.text, L"Invalid URL.  Please make sure you've entered it correctly");
    app.answer(invalid, IDOK);

    const std::wstring log = app.text(kIdData);
    const std::wstring head = L"Error Sending the following data to http://" + host + L"/memberbankupload.php: \r\n" +
                              L"-----Start-----\r\nHoardbook = {";
    EXPECT_NE(log.find(head), std::wstring::npos);
    EXPECT_NE(log.find(L" more bytes)\r\n-----End-----\r\n"), std::wstring::npos) << "the entry keeps its frame";
    EXPECT_LT(log.size(), 64u * 1024) << "one entry carries a few kilobytes, not the whole file";
    EXPECT_EQ(log.find(kPassword), std::wstring::npos);
    EXPECT_TRUE(Answers(app.mainWindow()));
}

}  // namespace
}  // namespace hb::e2e
