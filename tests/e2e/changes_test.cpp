// The built program against the reference site: changes reach the site
// within a few ticks whatever the number of characters, and a file the game
// writes in pieces never reaches it torn.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <thread>

#include "AppDriver.h"
#include "Scenario.h"
#include "win32/ControlIds.h"

namespace hb::e2e {
namespace {

using namespace hb::win32;

std::string SavedData(const std::string& owner, int version) {
    return "Hoardbook = { owner = \"" + owner + "\", version = " + std::to_string(version) + " }\r\n";
}

class Changes : public ::testing::Test {
protected:
    void startAndLogIn() {
        ASSERT_TRUE(app.start(scenario.programPath(), scenario.programFolder().wstring()));
        ASSERT_TRUE(app.waitForMainWindow(kStartTimeout));
        ASSERT_TRUE(WaitFor([&] { return app.visible(); }, kStartTimeout));
        app.logIn(Scenario::siteHost(), kLogin, kPassword);
        ASSERT_TRUE(WaitFor([&] { return !app.enabled(kIdLogin); }, kStartTimeout)) << "logged in";
    }
    // Whether the site received exactly these bytes since the given upload.
    bool received(const std::string& bytes, std::size_t since) const {
        const std::vector<Upload> uploads = scenario.uploads();
        for (std::size_t i = since; i < uploads.size(); ++i) {
            if (uploads[i].fileBytes == bytes) return true;
        }
        return false;
    }

    Scenario scenario;
    AppDriver app;
};

TEST_F(Changes, ThreeOfFortyCharactersRewrittenTogetherReachTheSiteWithin20Seconds) {
    constexpr int kEntries = 40;
    auto entry = [](int i) { return L"ACCOUNT\\Realm\\Char" + std::to_wstring(100 + i); };
    auto owner = [](int i) { return "Char" + std::to_string(100 + i); };
    for (int i = 0; i < kEntries; ++i) scenario.writeSavedData(entry(i), SavedData(owner(i), 1));
    startAndLogIn();
    // The login's upload and the first round: every entry once, one per tick.
    ASSERT_TRUE(scenario.waitForUploads(1 + kEntries, (kEntries + 4) * kTick)) << scenario.uploads().size();

    const std::size_t before = scenario.uploads().size();
    const int rewritten[] = {3, 19, 36};
    const ULONGLONG written = ::GetTickCount64();
    for (int i : rewritten) scenario.writeSavedData(entry(i), SavedData(owner(i), 2));
    for (int i : rewritten) {
        EXPECT_TRUE(WaitFor([&] { return received(SavedData(owner(i), 2), before); }, 20000 + 1000))
            << owner(i) << " arrived only after " << (::GetTickCount64() - written) << " ms";
    }
    EXPECT_LE(::GetTickCount64() - written, 20000u + 1000u) << "the slowest of the three";
    EXPECT_NE(app.text(kIdData).find(L"changed and was uploaded"), std::wstring::npos);
}

TEST_F(Changes, AFileWrittenInPiecesNeverReachesTheSiteTornAndItsLastVersionArrives) {
    // 1 MB written in 20 pieces over 4 s, five times in a row, as the game
    // writes a large saved-data file.
    constexpr std::size_t kSize = 1 << 20;
    constexpr int kPieces = 20;
    constexpr int kVersions = 5;
    auto version = [&](int v) {
        std::string bytes = "-- version " + std::to_string(v) + "\r\n";
        const std::string line = "Hoardbook.items[" + std::to_string(v) + "] = \"" + std::string(40, 'x') + "\"\r\n";
        while (bytes.size() + line.size() < kSize - 32) bytes += line;
        bytes += "-- end of version " + std::to_string(v) + "\r\n";
        return bytes;
    };
    scenario.writeSavedData(L"ACCOUNT", version(0));
    startAndLogIn();
    ASSERT_TRUE(WaitFor([&] { return received(version(0), 1); }, 4 * kTick)) << "the first round";
    const std::size_t before = scenario.uploads().size();

    const std::filesystem::path file = scenario.savedDataFile(L"ACCOUNT");
    for (int v = 1; v <= kVersions; ++v) {
        const std::string bytes = version(v);
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        const std::size_t piece = (bytes.size() + kPieces - 1) / kPieces;
        for (std::size_t at = 0; at < bytes.size(); at += piece) {
            out.write(bytes.data() + at, static_cast<std::streamsize>(std::min(piece, bytes.size() - at)));
            out.flush();
            ::Sleep(200);  // the game's pace, not a wait for the program
        }
    }
    EXPECT_TRUE(WaitFor([&] { return received(version(kVersions), before); }, 4 * kTick)) << "the last version";

    const std::vector<Upload> uploads = scenario.uploads();
    for (std::size_t i = before; i < uploads.size(); ++i) {
        bool whole = false;
        for (int v = 0; v <= kVersions; ++v) whole = whole || uploads[i].fileBytes == version(v);
        EXPECT_TRUE(whole) << "upload " << i << " is torn: " << uploads[i].fileBytes.size() << " bytes";
    }
}

}  // namespace
}  // namespace hb::e2e
