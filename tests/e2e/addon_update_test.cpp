// The add-on update at start-up against what update servers really publish:
// what editors write, localised files, broken and hostile servers.

#include <gtest/gtest.h>

#include <random>

#include "AppDriver.h"
#include "Scenario.h"
#include "win32/ControlIds.h"

namespace hb::e2e {
namespace {

using namespace hb::win32;

// The window waits for the start-up check; however the update server
// behaves, it must not wait long.
constexpr DWORD kWindowWithinMs = 30000;

const std::string kSaved = "Hoardbook = { owner = \"Account1\" }\r\n";

// Localised strings as the add-on ships them: UTF-8, whatever the code page.
const std::string kLocalisedLua =
    "-- Hoardbook 2.1\r\n"
    "L = {}\r\n"
    "L[\"Items\"] = \"Gegenst\xC3\xA4nde\"\r\n"
    "L[\"GuildBank\"] = \"\xD0\x91\xD0\xB0\xD0\xBD\xD0\xBA \xD0\xB3\xD0\xB8\xD0\xBB\xD1\x8C\xD0\xB4\xD0\xB8\xD0\xB8\"\r\n"
    "L[\"GuildBankCN\"] = \"\xE5\x85\xAC\xE4\xBC\x9A\xE9\x93\xB6\xE8\xA1\x8C\"\r\n";

bool LogContains(const AppDriver& app, const std::wstring& text) {
    return app.text(kIdData).find(text) != std::wstring::npos;
}

class AddonUpdate : public ::testing::Test {
protected:
    Scenario scenario;
    AppDriver app;

    void SetUp() override { scenario.writeSavedData(L"ACCOUNT1", kSaved); }

    // Starts the program and answers every box until the window shows;
    // returns the boxes' texts in order.
    std::vector<std::wstring> startAndAnswerBoxes(DWORD withinMs = kStartTimeout) {
        std::vector<std::wstring> texts;
        EXPECT_TRUE(app.start(scenario.programPath(), scenario.programFolder().wstring()));
        EXPECT_TRUE(app.waitForMainWindow(withinMs));
        EXPECT_TRUE(WaitFor(
            [&] {
                MessageBoxSeen box = app.messageBox();
                if (box.window != nullptr && ::IsWindowVisible(box.window)) {
                    texts.push_back(box.text);
                    app.answer(box, IDOK);
                }
                return app.visible();
            },
            withinMs))
            << "the window shows after start-up";
        return texts;
    }

    void exitProgram() {
        app.click(kIdCommand2);
        ASSERT_TRUE(app.waitForExit(10000));
    }
};

TEST_F(AddonUpdate, VersionWithTrailingLineFeedIsInstalledOnceAndUtf8FilesKeepTheirBytes) {
    // What most editors write: the text and a line feed.
    Scenario::publishFile(L"HoardbookVersion", "2.1\n");
    Scenario::publishFile(L"HoardbookFiles", "Hoardbook.toc\r\nHoardbook.lua\r\n");
    Scenario::publishFile(L"Hoardbook.toc", Scenario::addonToc("2.1"));
    Scenario::publishFile(L"Hoardbook.lua", kLocalisedLua);

    EXPECT_EQ(startAndAnswerBoxes(), std::vector<std::wstring>{L"Hoardbook has been updated to version 2.1"});
    EXPECT_TRUE(WaitFor([&] { return LogContains(app, L"Hoardbook Mod Updated to version 2.1"); }, 5000));
    // The bytes the server sent, with the one CR LF the program adds.
    EXPECT_EQ(scenario.readAddonFile(L"Hoardbook.lua"), kLocalisedLua + "\r\n");
    EXPECT_EQ(scenario.readAddonFile(L"Hoardbook.toc"), Scenario::addonToc("2.1") + "\r\n");
    exitProgram();

    // The next start finds version 2.1 installed: nothing is fetched or announced.
    std::filesystem::remove(scenario.gameFolder() / "Interface" / "Addons" / "Hoardbook" / "Hoardbook.lua");
    AppDriver second;
    ASSERT_TRUE(second.start(scenario.programPath(), scenario.programFolder().wstring()));
    ASSERT_TRUE(second.waitForMainWindow(kStartTimeout));
    ASSERT_TRUE(WaitFor([&] { return second.visible() || second.messageBox().window != nullptr; }, kStartTimeout));
    EXPECT_EQ(second.messageBox().window, nullptr) << second.messageBox().text;
    EXPECT_FALSE(LogContains(second, L"Updated to version")) << second.text(kIdData);
    EXPECT_FALSE(std::filesystem::exists(scenario.gameFolder() / "Interface" / "Addons" / "Hoardbook" / "Hoardbook.lua"))
        << "no file was fetched again";
    second.click(kIdCommand2);
    EXPECT_TRUE(second.waitForExit(10000));
}

TEST_F(AddonUpdate, GarbageVersionIsLoggedAndChangesNothing) {
    // A broken server answering with megabytes of random bytes.
    std::mt19937 random(20261207);
    std::string garbage(5 * 1024 * 1024, '\0');
    for (auto& byte : garbage) byte = static_cast<char>(random());
    Scenario::publishFile(L"HoardbookVersion", garbage);
    Scenario::publishFile(L"Hoardbook.toc", Scenario::addonToc("6.6"));
    Scenario::publishFile(L"Hoardbook.lua", Scenario::addonLua("6.6"));

    // Too long to be even fetched as a version; what arrives is no version either.
    for (const std::wstring& box : startAndAnswerBoxes()) {
        EXPECT_EQ(box.find(L"has been updated"), std::wstring::npos) << box;
    }
    EXPECT_TRUE(LogContains(app, L"Hoardbook update check failed: the published version ")) << app.text(kIdData);
    EXPECT_FALSE(LogContains(app, L"Updated to version"));
    EXPECT_LT(app.text(kIdData).size(), 1000u) << "the garbage is not copied into the log";
    EXPECT_EQ(scenario.readAddonFile(L"Hoardbook.toc"), Scenario::addonToc("1.0"));
    EXPECT_EQ(scenario.readAddonFile(L"Hoardbook.lua"), Scenario::addonLua("1.0"));
}

// "Hoardbook.toc." and "Hoardbook.toc " are written as "Hoardbook.toc".
class VersionFileAlias : public AddonUpdate, public testing::WithParamInterface<std::string> {};

TEST_P(VersionFileAlias, DoesNotInstallAnIncompleteVersion) {
    const std::string alias = GetParam();
    Scenario::publishFile(L"HoardbookVersion", "2.0\r\n");
    // The alias first, then a file that arrives, then one that fails.
    Scenario::publishFile(L"HoardbookFiles", alias + "\r\nHoardbook.lua\r\nMissing.lua\r\n");
    Scenario::publishFile(std::wstring(alias.begin(), alias.end()), Scenario::addonToc("2.0"));
    Scenario::publishFile(L"Hoardbook.lua", Scenario::addonLua("2.0"));

    std::vector<std::wstring> boxes = startAndAnswerBoxes();
    ASSERT_FALSE(boxes.empty());
    EXPECT_NE(boxes.back().find(L"Hoardbook could not be updated to version 2.0"), std::wstring::npos)
        << boxes.back();
    EXPECT_EQ(scenario.readAddonFile(L"Hoardbook.toc"), Scenario::addonToc("1.0"))
        << "the installed version stays what it was, so the next check fetches the update again";
    EXPECT_FALSE(LogContains(app, L"Updated to version"));
}

INSTANTIATE_TEST_SUITE_P(TrailingDotOrBlank, VersionFileAlias, testing::Values("Hoardbook.toc.", "Hoardbook.toc "));

TEST_F(AddonUpdate, HugeFileListIsBoundedAndTheWindowAppearsInTime) {
    Scenario::publishFile(L"HoardbookVersion", "2.0\r\n");
    std::string list;
    // As many names as the list's size bound lets through.
    for (int i = 0; i < 4000; ++i) list += "Hoardbook.lua\r\n";
    Scenario::publishFile(L"HoardbookFiles", list);
    Scenario::publishFile(L"Hoardbook.lua", Scenario::addonLua("2.0"));

    const ULONGLONG start = ::GetTickCount64();
    std::vector<std::wstring> boxes = startAndAnswerBoxes(kWindowWithinMs);
    EXPECT_LT(::GetTickCount64() - start, kWindowWithinMs);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].rfind(L"Hoardbook could not be updated to version 2.0: ", 0), 0u) << boxes[0];
    EXPECT_LT(boxes[0].size(), 1000u) << "the box names a few files, not thousands";
    EXPECT_TRUE(LogContains(app, L"the other 3700 are refused")) << app.text(kIdData);
    EXPECT_EQ(scenario.readAddonFile(L"Hoardbook.toc"), Scenario::addonToc("1.0"));
}

}  // namespace
}  // namespace hb::e2e
