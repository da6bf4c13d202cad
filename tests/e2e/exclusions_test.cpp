// Entries the player unchecked stay unchecked and unsent: through a start
// that finds the account tree missing (the interface reset by renaming WTF,
// a game drive not yet mounted), and for a character the game creates
// while the program runs.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "AppDriver.h"
#include "Scenario.h"
#include "win32/ControlIds.h"

namespace hb::e2e {
namespace {

using namespace hb::win32;

// Each entry's saved data names it, so the site's files tell who was sent.
std::string SavedDataOf(const std::wstring& entry) { return "Hoardbook = { owner = \"" + Utf8(entry) + "\" }\r\n"; }

bool LogContains(const AppDriver& app, const std::wstring& text) {
    return app.text(kIdData).find(text) != std::wstring::npos;
}

const ListEntry* Find(const std::vector<ListEntry>& entries, const std::wstring& text) {
    auto found = std::find_if(entries.begin(), entries.end(), [&](const ListEntry& e) { return e.text == text; });
    return found == entries.end() ? nullptr : &*found;
}

class Exclusions : public ::testing::Test {
protected:
    void SetUp() override {
        scenario.writeSettings("raider\r\n" + Utf8(Scenario::siteHost()) + "\r\ngold & glory\r\n");
    }

    void start(AppDriver& app) {
        ASSERT_TRUE(app.start(scenario.programPath(), scenario.programFolder().wstring()));
        ASSERT_TRUE(app.waitForMainWindow(kStartTimeout));
    }

    std::size_t uploadsOf(const std::wstring& entry) const {
        const auto uploads = scenario.uploads();
        return static_cast<std::size_t>(std::count_if(uploads.begin(), uploads.end(), [&](const Upload& upload) {
            return upload.fileBytes == SavedDataOf(entry);
        }));
    }

    Scenario scenario;
};

TEST_F(Exclusions, AStartWithoutTheAccountTreeKeepsEveryExclusionAndTheEntriesStayUnsentWhenItIsBack) {
    const std::wstring alpha = L"ALPHA";
    const std::wstring bravo = L"BRAVO";
    const std::wstring delta = L"ECHO\\Realm\\Delta";
    const std::wstring foxtrot = L"ECHO\\Realm\\Foxtrot";
    for (const auto& entry : {alpha, bravo, delta, foxtrot}) scenario.writeSavedData(entry, SavedDataOf(entry));
    const std::string exclusions = "BRAVO\r\nECHO\\Realm\\Delta\r\n";
    scenario.writeProgramFile(L"noupload.txt", exclusions);

    // The player renames WTF to reset the interface; the game makes a new one later.
    const auto wtf = scenario.gameFolder() / "WTF";
    const auto aside = scenario.gameFolder() / "WTF.old";
    std::filesystem::rename(wtf, aside);
    {
        AppDriver app;
        start(app);
        // The remembered password saves both files at once, then the
        // automatic login runs: it ends in a box or in a login.
        ASSERT_TRUE(WaitFor([&] { return app.messageBox().window != nullptr || LogContains(app, L"Successfully logged in"); },
                            kStartTimeout));
        EXPECT_TRUE(app.entries().empty());
        EXPECT_EQ(scenario.readProgramFile(L"noupload.txt"), exclusions) << "a save with no entries listed drops nothing";
        if (auto box = app.messageBox(); box.window != nullptr) app.answer(box, IDOK);
        ASSERT_TRUE(app.exitProgram());
    }

    std::filesystem::rename(aside, wtf);
    const std::size_t uploadsBefore = scenario.uploads().size();
    {
        AppDriver app;
        start(app);
        ASSERT_TRUE(WaitFor([&] { return LogContains(app, L"Successfully logged in"); }, kStartTimeout));
        const auto entries = app.entries();
        ASSERT_EQ(entries.size(), 4u);
        EXPECT_TRUE(Find(entries, alpha)->checked);
        EXPECT_FALSE(Find(entries, bravo)->checked);
        EXPECT_FALSE(Find(entries, delta)->checked);
        EXPECT_TRUE(Find(entries, foxtrot)->checked);
        // The login's upload and the watcher's round over the two checked
        // entries, and one tick more.
        ASSERT_TRUE(scenario.waitForUploads(uploadsBefore + 3, 5 * kTick));
        ::Sleep(kTick + 1000);
        EXPECT_EQ(scenario.readProgramFile(L"noupload.txt"), exclusions);
        ASSERT_TRUE(app.exitProgram());
    }
    EXPECT_EQ(uploadsOf(bravo), 0u);
    EXPECT_EQ(uploadsOf(delta), 0u);
    EXPECT_GE(uploadsOf(alpha), 1u);
    EXPECT_GE(uploadsOf(foxtrot), 1u);
}

TEST_F(Exclusions, AnExcludedCharacterCreatedAfterStartUpAppearsUncheckedAndIsNeverSent) {
    const std::wstring veteran = L"ACC\\Realm\\Veteran";
    const std::wstring newcomer = L"ACC\\Realm\\Newcomer";  // excluded before the game made its folder
    const std::wstring other = L"ACC\\Realm\\Other";
    scenario.writeSavedData(veteran, SavedDataOf(veteran));
    const std::string exclusions = "ACC\\Realm\\Newcomer\r\n";
    scenario.writeProgramFile(L"noupload.txt", exclusions);

    AppDriver app;
    start(app);
    ASSERT_TRUE(WaitFor([&] { return LogContains(app, L"Successfully logged in"); }, kStartTimeout));
    // The login's upload and the watcher's first visit.
    ASSERT_TRUE(scenario.waitForUploads(2, 4 * kTick));

    // The game creates two characters' folders; the watcher lists both.
    scenario.writeSavedData(newcomer, SavedDataOf(newcomer));
    scenario.writeSavedData(other, SavedDataOf(other));
    ASSERT_TRUE(WaitFor([&] { return app.entries().size() == 3; }, 4 * kTick));
    const auto entries = app.entries();
    EXPECT_FALSE(Find(entries, newcomer)->checked) << "the exclusion file names it";
    EXPECT_TRUE(Find(entries, other)->checked);

    // The other newcomer is sent; then two more ticks.
    ASSERT_TRUE(WaitFor([&] { return uploadsOf(other) >= 1; }, 4 * kTick));
    ::Sleep(2 * kTick);
    EXPECT_EQ(uploadsOf(newcomer), 0u);
    EXPECT_EQ(scenario.readProgramFile(L"noupload.txt"), exclusions);
    ASSERT_TRUE(app.exitProgram());
}

}  // namespace
}  // namespace hb::e2e
