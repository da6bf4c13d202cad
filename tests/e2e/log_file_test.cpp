// HoardbookUploader.log: the message log on disk, beside the settings, for
// a player to send to whoever helps them; bounded by one rotation at 1 MB.

#include <gtest/gtest.h>

#include <regex>

#include "AppDriver.h"
#include "Scenario.h"
#include "win32/ControlIds.h"

namespace hb::e2e {
namespace {

using namespace hb::win32;

constexpr std::size_t kRotateAt = 1024 * 1024;

bool LogContains(const AppDriver& app, const std::wstring& text) {
    return app.text(kIdData).find(text) != std::wstring::npos;
}

TEST(LogFile, HoldsTheSessionsEntriesWithDateAndTimeAndRotatesAtOneMegabyte) {
    Scenario scenario;
    scenario.writeSavedData(L"ACCOUNT1", "Hoardbook = { owner = \"Account1\" }\r\n");
    // An earlier session's log, a few bytes short of the bound.
    std::string earlier;
    while (earlier.size() + 40 < kRotateAt - 16) earlier += "2026-01-01 10:00:00: an earlier entry\r\n";
    scenario.writeProgramFile(L"HoardbookUploader.log", earlier);

    AppDriver app;
    ASSERT_TRUE(app.start(scenario.programPath(), scenario.programFolder().wstring()));
    ASSERT_TRUE(app.waitForMainWindow(kStartTimeout));
    ASSERT_TRUE(WaitFor([&] { return app.visible(); }, kStartTimeout));
    app.logIn(Scenario::siteHost(), kLogin, kPassword);
    const std::wstring uploaded = L"Profile for ACCOUNT1 changed and was uploaded";
    ASSERT_TRUE(WaitFor([&] { return LogContains(app, uploaded); }, 4 * kTick));
    const std::wstring window = app.text(kIdData);
    ASSERT_TRUE(app.exitProgram());

    EXPECT_EQ(scenario.readProgramFile(L"HoardbookUploader.log.1"), earlier) << "the full file is kept whole, once";
    std::string log = scenario.readProgramFile(L"HoardbookUploader.log");
    EXPECT_LT(log.size(), kRotateAt);
    // UTF-8, marked so that every editor opens it as such.
    EXPECT_TRUE(log.starts_with("\xEF\xBB\xBF"));
    if (log.starts_with("\xEF\xBB\xBF")) log.erase(0, 3);
    for (const std::wstring message : {L"Successfully logged in", uploaded.c_str()}) {
        ASSERT_NE(window.find(L": " + message + L"\r\n"), std::wstring::npos);
        // Local date and time in a form that reads the same in every country.
        const std::regex entry("(^|\\n)\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2}: " + Utf8(message) + "\\r\\n");
        EXPECT_TRUE(std::regex_search(log, entry)) << Utf8(message) << " in:\n" << log.substr(0, 4096);
    }
    EXPECT_EQ(log.find(Utf8(kPassword)), std::string::npos);
    EXPECT_EQ(log.find("an earlier entry"), std::string::npos);
}

}  // namespace
}  // namespace hb::e2e
