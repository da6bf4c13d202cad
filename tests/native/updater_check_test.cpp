// The whole update check against a scripted update server and a real game
// folder on disk.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "gamedata/GameFolders.h"
#include "net/Transfers.h"
#include "fakes/FakeProgramExit.h"
#include "support/FormFixture.h"
#include "updater/AddonUpdater.h"
#include "updater/FileList.h"
#include "updater/UpdateHost.h"

namespace hb::test {
namespace {

const std::wstring kBase = L"http://updates.test/files/Hoardbook/";
const std::filesystem::path kAddon = std::filesystem::path("Game") / "Interface" / "Addons" / "Hoardbook";

// The updater built alone: the game's folders, the downloads and the
// updater over the ports they use.
class UpdaterCheck : public PortsFixture {
protected:
    UpdaterCheck() {
        installGame();
        std::filesystem::create_directories(temp.path() / "Game" / "Interface" / "Addons");
        http.responder = ServeFiles(server);
    }

    void serve(const std::wstring& name, const std::wstring& text) { server[kBase + name].text = text; }
    void installVersion(const std::string& tocText) { temp.write(kAddon / "Hoardbook.toc", tocText); }

    // The names asked for, in order, relative to the add-on's base URL.
    std::vector<std::wstring> requested() const {
        std::vector<std::wstring> names;
        for (const auto& request : http.requests) {
            names.push_back(request->url.rfind(kBase, 0) == 0 ? request->url.substr(kBase.size()) : request->url);
        }
        return names;
    }
    // The log as the window shows it: newest entry first, each stamped.
    std::wstring log() const {
        std::wstring text;
        for (const auto& entry : messages.entries) text = process.dateTimeText + L": " + entry + L"\r\n" + text;
        return text;
    }
    bool logHas(const std::wstring& part) const { return log().find(part) != std::wstring::npos; }

    // A new updater, as at the next start of the program.
    void restartWith(const std::wstring& updateHost) {
        updater =
            std::make_unique<AddonUpdater>(*files, boxes, process, codepage, messages, folders, transfers, updateHost);
    }
    // The start-up check; every later call is a periodic one.
    void startupCheck() { updater->CheckVersionAndDownload(); }
    void periodicCheck() {
        http.requests.clear();
        boxes.shown.clear();
        messages.entries.clear();
        updater->CheckVersionAndDownload();
    }

    std::map<std::wstring, FakeResponse> server;
    FakeProgramExit programExit{process};
    GameFolders folders{registry, boxes, programExit};
    Transfers transfers{http, boxes, shell, *files, process, programExit, codepage, messages, 60000};
    std::unique_ptr<AddonUpdater> updater =
        std::make_unique<AddonUpdater>(*files, boxes, process, codepage, messages, folders, transfers, L"updates.test");
};

using Names = std::vector<std::wstring>;

TEST_F(UpdaterCheck, EqualVersionsRequestOnlyTheVersionFile) {
    installVersion("## Interface: 11200\r\n## Version: 1.2\r\n## Title: Hoardbook\r\n");
    serve(L"HoardbookVersion", L"1.2\r\n");
    serve(L"HoardbookFiles", L"Hoardbook.toc\r\n");
    startupCheck();
    EXPECT_EQ(requested(), Names{L"HoardbookVersion"});
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(log(), L"");
}

TEST_F(UpdaterCheck, DifferentVersionFetchesEveryListedFileInOrderThenAnnouncesThenLogs) {
    installVersion("## Version: 1.2\r\n");
    serve(L"HoardbookVersion", L"1.3\r\n");
    serve(L"HoardbookFiles", L"Hoardbook.toc\r\n\r\nHoardbook.lua\r\nMy Notes.txt\r\n");
    serve(L"Hoardbook.toc", L"## Version: 1.3");
    serve(L"Hoardbook.lua", L"Hoardbook = {}");
    serve(L"My Notes.txt", L"notes");
    std::wstring logWhenBoxShown = L"unset";
    boxes.onShow = [&](const MessageBoxRequest&) { logWhenBoxShown = log(); };

    startupCheck();

    // In list order, but the version file last.
    EXPECT_EQ(requested(), (Names{L"HoardbookVersion", L"HoardbookFiles", L"Hoardbook.lua", L"My Notes.txt",
                                  L"Hoardbook.toc"}));
    EXPECT_EQ(temp.read(kAddon / "Hoardbook.toc"), "## Version: 1.3\r\n");
    EXPECT_EQ(temp.read(kAddon / "Hoardbook.lua"), "Hoardbook = {}\r\n");
    EXPECT_EQ(temp.read(kAddon / "My Notes.txt"), "notes\r\n");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, L"Hoardbook has been updated to version 1.3");
    EXPECT_EQ(boxes.shown[0].title, L"HoardbookUploader");
    EXPECT_EQ(boxes.shown[0].buttons, BoxButtons::Ok);
    EXPECT_EQ(boxes.shown[0].icon, BoxIcon::None);
    EXPECT_EQ(logWhenBoxShown, L"") << "the log entry follows the closed box";
    EXPECT_EQ(log(), std::wstring(process.dateTimeText) + L": Hoardbook Mod Updated to version 1.3\r\n");

    // The installed toc now carries the server's version: the next check is quiet.
    periodicCheck();
    EXPECT_EQ(requested(), Names{L"HoardbookVersion"});
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(UpdaterCheck, AGameMovedWhileRunningHasItsAddonUpdatedInTheNewFolder) {
    installVersion("## Version: 1.2\r\n");
    serve(L"HoardbookVersion", L"1.3\r\n");
    serve(L"HoardbookFiles", L"Hoardbook.toc\r\nHoardbook.lua\r\n");
    serve(L"Hoardbook.toc", L"## Version: 1.3");
    serve(L"Hoardbook.lua", L"Hoardbook = {}");
    startupCheck();
    ASSERT_EQ(temp.read(kAddon / "Hoardbook.toc"), "## Version: 1.3\r\n");

    // The player moved the game; its add-on there is the old one.
    const std::filesystem::path moved = std::filesystem::path("Moved") / "Interface" / "Addons" / "Hoardbook";
    temp.write(moved / "Hoardbook.toc", "## Version: 1.2\r\n");
    registry.putString(RegistryRoot::LocalMachine, kWowKey, L"InstallPath", temp.corePath("Moved") + sep());

    periodicCheck();
    EXPECT_EQ(requested(), (Names{L"HoardbookVersion", L"HoardbookFiles", L"Hoardbook.lua", L"Hoardbook.toc"}));
    EXPECT_EQ(temp.read(moved / "Hoardbook.toc"), "## Version: 1.3\r\n");
    EXPECT_EQ(temp.read(moved / "Hoardbook.lua"), "Hoardbook = {}\r\n");
    EXPECT_EQ(updater->GetMyVersion(), L"1.3");
}

TEST_F(UpdaterCheck, AnyDifferentTextUpdatesWithoutOrderingVersions) {
    installVersion("## Version: 1.2A\r\n");
    serve(L"HoardbookFiles", L"Hoardbook.lua\r\n");
    serve(L"Hoardbook.lua", L"x");
    struct Case {
        std::wstring served;
        std::wstring announced;
    };
    for (const Case& c : {Case{L"1.1\r\n", L"1.1"}, Case{L"1.2a\r\n", L"1.2a"}, Case{L"1.2A.1 \r\n", L"1.2A.1"},
                          Case{L"1.2\n", L"1.2"}}) {
        serve(L"HoardbookVersion", c.served);
        periodicCheck();
        EXPECT_EQ(requested(), (Names{L"HoardbookVersion", L"HoardbookFiles", L"Hoardbook.lua"})) << c.announced;
        ASSERT_EQ(boxes.shown.size(), 1u) << c.announced;
        EXPECT_EQ(boxes.shown[0].text, L"Hoardbook has been updated to version " + c.announced);
    }
}

TEST_F(UpdaterCheck, MissingAddonFolderIsCreatedAndTheAddonInstalled) {
    serve(L"HoardbookVersion", L"1.0\r\n");
    serve(L"HoardbookFiles", L"Hoardbook.toc\r\nHoardbook.lua\r\n");
    serve(L"Hoardbook.toc", L"## Version: 1.0");
    serve(L"Hoardbook.lua", L"Hoardbook = {}");
    ASSERT_FALSE(temp.exists(kAddon));

    startupCheck();

    EXPECT_TRUE(std::filesystem::is_directory(temp.path() / kAddon));
    EXPECT_EQ(temp.read(kAddon / "Hoardbook.toc"), "## Version: 1.0\r\n");
    EXPECT_EQ(temp.read(kAddon / "Hoardbook.lua"), "Hoardbook = {}\r\n");
    EXPECT_EQ(boxTexts(), Names{L"Hoardbook has been updated to version 1.0"});
    EXPECT_EQ(updater->GetMyVersion(), L"1.0");
}

TEST_F(UpdaterCheck, AddonFolderThatCannotBeCreatedStopsTheCheckWithoutClaims) {
    std::filesystem::remove_all(temp.path() / "Game" / "Interface");
    serve(L"HoardbookVersion", L"1.0\r\n");
    serve(L"HoardbookFiles", L"Hoardbook.toc\r\n");

    startupCheck();

    EXPECT_FALSE(temp.exists("Game/Interface")) << "only the last level is ever created";
    EXPECT_EQ(requested(), Names{L"HoardbookVersion"});
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_NE(boxes.shown[0].text.find(L"could not be updated to version 1.0"), std::wstring::npos);
    EXPECT_TRUE(logHas(L"could not be created"));
    EXPECT_FALSE(logHas(L"Updated to version"));
}

TEST_F(UpdaterCheck, FailedOrEmptyVersionFetchClaimsNothing) {
    installVersion("## Version: 1.2\r\n");
    serve(L"HoardbookFiles", L"Hoardbook.toc\r\n");
    server[kBase + L"HoardbookVersion"].status = 503;

    // Start-up: the download's own box, then a log line; no update claimed.
    startupCheck();
    EXPECT_EQ(requested(), Names{L"HoardbookVersion"});
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text.rfind(L"Error Downloading File: " + kBase + L"HoardbookVersion", 0), 0u);
    EXPECT_TRUE(logHas(L"Hoardbook update check failed"));
    EXPECT_FALSE(logHas(L"Updated to version"));

    // An answer with no version in it is no better than none.
    for (const wchar_t* empty : {L"", L"\r\n", L"   \r\n", L" \r\n \r\n"}) {
        server[kBase + L"HoardbookVersion"] = FakeResponse{};
        serve(L"HoardbookVersion", empty);
        periodicCheck();
        EXPECT_EQ(requested(), Names{L"HoardbookVersion"});
        EXPECT_TRUE(boxes.shown.empty());
        EXPECT_TRUE(logHas(L"Hoardbook update check failed: the published version is empty"));
    }
    EXPECT_EQ(temp.read(kAddon / "Hoardbook.toc"), "## Version: 1.2\r\n");
}

TEST_F(UpdaterCheck, PeriodicFailuresGoToTheLogWithoutBoxes) {
    installVersion("## Version: 1.2\r\n");
    serve(L"HoardbookVersion", L"1.2\r\n");
    startupCheck();

    server[kBase + L"HoardbookVersion"].failAt = FakeResponse::FailAt::Send;
    server[kBase + L"HoardbookVersion"].description = L"The server name could not be resolved";
    periodicCheck();
    EXPECT_TRUE(boxes.shown.empty()) << (boxes.shown.empty() ? L"" : boxes.shown[0].text);
    EXPECT_TRUE(logHas(L"Hoardbook update check failed"));
    EXPECT_TRUE(logHas(L"The server name could not be resolved"));

    // A periodic update with a missing file names it in the log, still without a box.
    server[kBase + L"HoardbookVersion"] = FakeResponse{};
    serve(L"HoardbookVersion", L"1.3\r\n");
    serve(L"HoardbookFiles", L"Hoardbook.lua\r\nGone.lua\r\n");
    serve(L"Hoardbook.lua", L"x");
    periodicCheck();
    EXPECT_TRUE(boxes.shown.empty()) << (boxes.shown.empty() ? L"" : boxes.shown[0].text);
    EXPECT_TRUE(logHas(L"the file \"Gone.lua\" failed: "));
    EXPECT_TRUE(logHas(L"Hoardbook could not be updated to version 1.3: these files failed: \"Gone.lua\""));
    EXPECT_FALSE(logHas(L"Updated to version"));

    // Only the periodic check is quiet: a download asked to box its failure
    // still does.
    transfers.download(kBase + L"Nowhere", FailureReport::Box);
    EXPECT_EQ(boxes.shown.size(), 1u);
}

TEST_F(UpdaterCheck, PartialFailureNamesTheFailedFilesAndClaimsNoVersion) {
    installVersion("## Version: 1.2\r\n");
    serve(L"HoardbookVersion", L"1.3\r\n");
    serve(L"HoardbookFiles", L"A.lua\r\nB.lua\r\nC.lua\r\nD.lua\r\n");
    serve(L"A.lua", L"a");
    serve(L"C.lua", L"c");
    server[kBase + L"D.lua"].failAt = FakeResponse::FailAt::Send;
    std::wstring logWhenSummaryShown;
    boxes.onShow = [&](const MessageBoxRequest&) { logWhenSummaryShown = log(); };

    startupCheck();

    EXPECT_EQ(requested(), (Names{L"HoardbookVersion", L"HoardbookFiles", L"A.lua", L"B.lua", L"C.lua", L"D.lua"}));
    EXPECT_EQ(temp.read(kAddon / "A.lua"), "a\r\n");
    EXPECT_EQ(temp.read(kAddon / "C.lua"), "c\r\n");
    EXPECT_FALSE(temp.exists(kAddon / "B.lua"));
    const std::wstring summary = L"Hoardbook could not be updated to version 1.3: these files failed: \"B.lua\", \"D.lua\"";
    // One box per check at start-up: the first failure's own, then the
    // summary; D's failure goes to the log.
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_NE(boxes.shown[0].text.find(L"Error Downloading File: " + kBase + L"B.lua"), std::wstring::npos);
    EXPECT_EQ(boxes.shown[1].text, summary);
    EXPECT_TRUE(logHas(L"Hoardbook update: the file \"D.lua\" failed: The operation failed"));
    EXPECT_FALSE(logHas(L"\"B.lua\" failed")) << "its box said it";
    EXPECT_EQ(logWhenSummaryShown.find(summary), std::wstring::npos) << "the log entry follows the closed box";
    EXPECT_TRUE(logHas(summary));
    for (const auto& box : boxes.shown) EXPECT_EQ(box.text.find(L"has been updated"), std::wstring::npos);
    EXPECT_FALSE(logHas(L"Updated to version"));
}

TEST_F(UpdaterCheck, AGarbageVersionIsLoggedAndChangesNothing) {
    installVersion("## Version: 1.2\r\n");
    serve(L"HoardbookFiles", L"Hoardbook.toc\r\n");
    serve(L"Hoardbook.toc", L"## Version: 6.6");
    // Noise from a broken server, at start-up (within the answer's bound;
    // a longer answer fails as a download).
    std::wstring noise;
    for (std::uint32_t i = 0; i < 20000; ++i) noise.push_back(static_cast<wchar_t>(0x21 + (i * 7919u) % 0x5000));
    serve(L"HoardbookVersion", noise);
    startupCheck();
    EXPECT_EQ(requested(), Names{L"HoardbookVersion"});
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_TRUE(logHas(L"Hoardbook update check failed: the published version is 20000 characters long, too long "
                       L"for a version"));

    const std::wstring garbage[] = {std::wstring(100, L'7'), L"1.3\x01\x02", L"\xFFFD\xFFFD\x0F", L"<html>\n<body>Server error</body>\n</html>"};
    for (const std::wstring& published : garbage) {
        serve(L"HoardbookVersion", published);
        periodicCheck();
        EXPECT_EQ(requested(), Names{L"HoardbookVersion"}) << "nothing more is fetched";
        EXPECT_TRUE(logHas(L"Hoardbook update check failed: the published version "));
        EXPECT_LT(log().size(), 500u) << "the text itself is not logged";
        EXPECT_TRUE(boxes.shown.empty());
    }
    EXPECT_EQ(temp.read(kAddon / "Hoardbook.toc"), "## Version: 1.2\r\n");
}

TEST_F(UpdaterCheck, AnOverlongFileListIsBoundedWithOneMessageAndNoVersionClaimed) {
    installVersion("## Version: 1.2\r\n");
    serve(L"HoardbookVersion", L"1.3\r\n");
    std::wstring list;
    for (int i = 0; i < 4000; ++i) {
        list += L"F" + std::to_wstring(i) + L".lua\r\n";
        if (i < 300) serve(L"F" + std::to_wstring(i) + L".lua", L"x");
    }
    serve(L"HoardbookFiles", list + L"Hoardbook.toc\r\n");
    serve(L"Hoardbook.toc", L"## Version: 1.3");

    startupCheck();

    EXPECT_EQ(requested().size(), 2 + kMaxListedFiles);
    EXPECT_TRUE(logHas(L"Hoardbook update: the file list names 4001 files, more than the 300 an update may have; "
                       L"the other 3701 are refused"));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text,
              L"Hoardbook could not be updated to version 1.3: 3701 more files were listed than an update may have");
    EXPECT_EQ(updater->GetMyVersion(), L"1.2");
}

TEST_F(UpdaterCheck, TheStartupCheckEndsWithinItsBudgetWhateverTheServerDoes) {
    installVersion("## Version: 1.2\r\n");
    serve(L"HoardbookVersion", L"1.3\r\n");
    std::wstring list;
    for (int i = 0; i < 50; ++i) list += L"F" + std::to_wstring(i) + L".lua\r\n";
    serve(L"HoardbookFiles", list);
    // Every file trickles in just within a download's own bound.
    http.responder = [this](const RecordedRequest& request) {
        auto found = server.find(request.url);
        FakeResponse response = found != server.end() ? found->second : FakeResponse{};
        if (found == server.end()) response.pollsUntilDone = 1500;  // 15 s at 10 ms a poll
        return response;
    };
    const auto started = process.nowMs;

    startupCheck();

    EXPECT_LE(process.nowMs - started, kStartupCheckBudgetMs + 1000);
    EXPECT_LT(requested().size(), 10u);
    ASSERT_FALSE(boxes.shown.empty());
    EXPECT_NE(boxes.shown.back().text.find(L"the check ran out of time with "), std::wstring::npos)
        << boxes.shown.back().text;
    EXPECT_EQ(updater->GetMyVersion(), L"1.2");
}

TEST_F(UpdaterCheck, NamesThatCouldBeAnotherFileOrLongerThanAPathAreRefusedAndNamedBriefly) {
    installVersion("## Version: 1.2\r\n");
    serve(L"HoardbookVersion", L"1.3\r\n");
    const std::wstring huge(20000, L'n');
    serve(L"HoardbookFiles", L"Hoardbook.toc.\r\nHoardbook.lua\r\nHOARDB~1.TOC\r\n" + huge + L"\r\n");
    serve(L"Hoardbook.lua", L"x");

    periodicCheck();

    EXPECT_EQ(requested(), (Names{L"HoardbookVersion", L"HoardbookFiles", L"Hoardbook.lua"}));
    EXPECT_TRUE(logHas(L"refused the file name \"Hoardbook.toc.\""));
    EXPECT_TRUE(logHas(L"refused the file name \"HOARDB~1.TOC\""));
    EXPECT_TRUE(logHas(L"refused a file name of 20000 characters, longer than a path can be"));
    EXPECT_LT(log().size(), 2000u) << "a name of megabytes would freeze the window that shows it";
    EXPECT_EQ(updater->GetMyVersion(), L"1.2");
}

TEST_F(UpdaterCheck, TheVersionFileIsInstalledLastAndOnlyWithAllOthers) {
    installVersion("## Version: 1.2\r\n");
    serve(L"HoardbookVersion", L"1.3\r\n");
    serve(L"HoardbookFiles", L"Hoardbook.toc\r\nHoardbook.lua\r\n");
    serve(L"Hoardbook.toc", L"## Version: 1.3");
    server[kBase + L"Hoardbook.lua"].failAt = FakeResponse::FailAt::Send;

    periodicCheck();
    EXPECT_EQ(requested(), (Names{L"HoardbookVersion", L"HoardbookFiles", L"Hoardbook.lua"}));
    EXPECT_EQ(updater->GetMyVersion(), L"1.2") << "a half-installed add-on keeps its old version";

    // So the next check fetches again, and the version file comes last.
    server[kBase + L"Hoardbook.lua"] = FakeResponse{};
    serve(L"Hoardbook.lua", L"lua");
    periodicCheck();
    EXPECT_EQ(requested(), (Names{L"HoardbookVersion", L"HoardbookFiles", L"Hoardbook.lua", L"Hoardbook.toc"}));
    EXPECT_EQ(updater->GetMyVersion(), L"1.3");
}

TEST_F(UpdaterCheck, WithoutAnUpdateServerNothingIsRequestedAndTheLogSaysSo) {
    for (const wchar_t* placeholder : {L"updates.hoardbook.example", L"Updates.Hoardbook.EXAMPLE:8080", L""}) {
        restartWith(placeholder);
        messages.entries.clear();
        startupCheck();
        periodicCheck();
        EXPECT_TRUE(http.requests.empty()) << placeholder;
        EXPECT_TRUE(boxes.shown.empty()) << placeholder;
        EXPECT_EQ(log(), L"");  // periodicCheck cleared the start-up check's line
    }
    restartWith(L"updates.hoardbook.example");
    messages.entries.clear();
    startupCheck();
    EXPECT_TRUE(logHas(L"Add-on updates are off: no update server is set"));
    EXPECT_TRUE(IsConfiguredUpdateHost(L"127.0.0.1:8123"));
    EXPECT_TRUE(IsConfiguredUpdateHost(L"example.org"));
}

TEST_F(UpdaterCheck, FailedOrEmptyFileListClaimsNothing) {
    installVersion("## Version: 1.2\r\n");
    serve(L"HoardbookVersion", L"1.3\r\n");
    startupCheck();  // HoardbookFiles answers 404
    EXPECT_EQ(requested(), (Names{L"HoardbookVersion", L"HoardbookFiles"}));
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[1].text.rfind(L"Hoardbook could not be updated to version 1.3: the list of its files could not be fetched", 0), 0u);
    EXPECT_FALSE(logHas(L"Updated to version"));

    serve(L"HoardbookFiles", L"\r\n\r\n");
    periodicCheck();
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_TRUE(logHas(L"Hoardbook could not be updated to version 1.3: the list of its files is empty"));
    EXPECT_FALSE(logHas(L"Updated to version"));
}

TEST_F(UpdaterCheck, NamesThatCouldLeaveTheAddonFolderAreRefusedAndTheOthersFetched) {
    installVersion("## Version: 1.2\r\n");
    serve(L"HoardbookVersion", L"1.3\r\n");
    const std::wstring escape = L"..\\..\\..\\escaped.lua";
    const std::wstring escapeSlash = L"../../../escaped2.lua";
    serve(L"HoardbookFiles", escape + L"\r\nHoardbook.lua\r\n" + escapeSlash + L"\r\n" + temp.corePath("abs.lua") +
                                 L"\r\nC:\\x.lua\r\nok.lua\r\n");
    serve(escape, L"evil");
    serve(escapeSlash, L"evil");
    serve(temp.corePath("abs.lua"), L"evil");
    serve(L"Hoardbook.lua", L"good");
    serve(L"ok.lua", L"fine");

    startupCheck();

    EXPECT_EQ(requested(), (Names{L"HoardbookVersion", L"HoardbookFiles", L"Hoardbook.lua", L"ok.lua"}));
    EXPECT_FALSE(temp.exists("escaped.lua"));
    EXPECT_FALSE(temp.exists("escaped2.lua"));
    EXPECT_FALSE(temp.exists("abs.lua"));
    EXPECT_EQ(temp.read(kAddon / "Hoardbook.lua"), "good\r\n");
    EXPECT_EQ(temp.read(kAddon / "ok.lua"), "fine\r\n");
    EXPECT_TRUE(logHas(L"refused the file name \"" + escape + L"\""));
    EXPECT_TRUE(logHas(L"refused the file name \"C:\\x.lua\""));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_NE(boxes.shown[0].text.find(L"could not be updated to version 1.3"), std::wstring::npos);
    EXPECT_NE(boxes.shown[0].text.find(escapeSlash), std::wstring::npos);
    EXPECT_FALSE(logHas(L"Updated to version"));
}

TEST_F(UpdaterCheck, ACheckReportsAsItsCallerAsksWhicheverComesFirst) {
    installVersion("## Version: 1.2\r\n");
    server[kBase + L"HoardbookVersion"].failAt = FakeResponse::FailAt::Send;
    server[kBase + L"HoardbookVersion"].description = L"The server name could not be resolved";

    updater->check(FailureReport::LogOnly);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_TRUE(logHas(L"Hoardbook update check failed: the published version could not be fetched: "
                       L"The server name could not be resolved"));

    updater->check(FailureReport::Box);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text.rfind(L"Error Downloading File: " + kBase + L"HoardbookVersion", 0), 0u);
}

TEST_F(UpdaterCheck, NoCheckStartsInsideAnotherOnesWait) {
    installVersion("## Version: 1.2\r\n");
    serve(L"HoardbookVersion", L"1.2\r\n");
    int nested = 0;
    server[kBase + L"HoardbookVersion"].pollsUntilDone = 3;
    server[kBase + L"HoardbookVersion"].whilePolling = [&] {
        ++nested;
        updater->CheckVersionAndDownload();
    };
    startupCheck();
    EXPECT_GT(nested, 0);
    EXPECT_EQ(requested(), Names{L"HoardbookVersion"});
}

// ---- an updater that converges ----

TEST_F(UpdaterCheck, ANameWithFoldersIsInstalledInThoseFoldersInsideTheAddon) {
    installVersion("## Version: 1.2\r\n");
    serve(L"HoardbookVersion", L"1.3\r\n");
    serve(L"HoardbookFiles", L"Libs\\X.lua\r\nLibs/Deep/Y.lua\r\nHoardbook.toc\r\n");
    serve(L"Libs\\X.lua", L"x");
    serve(L"Libs/Deep/Y.lua", L"y");
    serve(L"Hoardbook.toc", L"## Version: 1.3");

    startupCheck();

    EXPECT_EQ(temp.read(kAddon / "Libs" / "X.lua"), "x\r\n");
    EXPECT_EQ(temp.read(kAddon / "Libs" / "Deep" / "Y.lua"), "y\r\n");
    EXPECT_EQ(updater->GetMyVersion(), L"1.3");
    EXPECT_EQ(boxTexts(), std::vector<std::wstring>{L"Hoardbook has been updated to version 1.3"});
}

TEST_F(UpdaterCheck, AFileThatAlwaysFailsLeavesTheOthersInstalledAndAloneIsFetchedAgainOncePerCheck) {
    installVersion("## Version: 1.2\r\n");
    serve(L"HoardbookVersion", L"1.3\r\n");
    serve(L"HoardbookFiles", L"A.lua\r\nBroken.lua\r\nC.lua\r\nHoardbook.toc\r\n");
    serve(L"A.lua", L"a");
    serve(L"C.lua", L"c");
    serve(L"Hoardbook.toc", L"## Version: 1.3");

    startupCheck();
    EXPECT_EQ(temp.read(kAddon / "A.lua"), "a\r\n");
    EXPECT_EQ(temp.read(kAddon / "C.lua"), "c\r\n");
    EXPECT_EQ(updater->GetMyVersion(), L"1.2");

    for (int check = 0; check < 3; ++check) {
        SCOPED_TRACE(check);
        periodicCheck();
        EXPECT_EQ(requested(), (Names{L"HoardbookVersion", L"HoardbookFiles", L"Broken.lua"}))
            << "the files installed are not fetched again";
        EXPECT_TRUE(boxes.shown.empty());
        if (check == 0) {
            EXPECT_TRUE(logHas(L"Hoardbook update: the file \"Broken.lua\" failed: The server answered with HTTP status "
                               L"404."));
            EXPECT_FALSE(logHas(L"Hoardbook could not be updated")) << "logged by the start-up check already";
        } else {
            EXPECT_EQ(log(), L"") << "said once for this version";
        }
    }

    // The server is mended: the one file arrives, then the version file.
    serve(L"Broken.lua", L"b");
    periodicCheck();
    EXPECT_EQ(requested(), (Names{L"HoardbookVersion", L"HoardbookFiles", L"Broken.lua", L"Hoardbook.toc"}));
    EXPECT_EQ(updater->GetMyVersion(), L"1.3");
}

TEST_F(UpdaterCheck, TheUpdatedBoxComesOncePerVersionWhenTheAddonCallsItselfOtherwise) {
    installVersion("## Version: 1.2\r\n");
    serve(L"HoardbookVersion", L"1.3\r\n");
    serve(L"HoardbookFiles", L"Hoardbook.lua\r\nHoardbook.toc\r\n");
    serve(L"Hoardbook.lua", L"lua");
    serve(L"Hoardbook.toc", L"## Version: 1.3-beta");  // the author forgot to change it

    startupCheck();
    EXPECT_EQ(boxTexts(), std::vector<std::wstring>{L"Hoardbook has been updated to version 1.3"});
    EXPECT_TRUE(logHas(L"Hoardbook update: the installed add-on calls itself version 1.3-beta, not 1.3 as the update "
                       L"server publishes it; it is not fetched again for that"));

    for (int check = 0; check < 3; ++check) {
        periodicCheck();
        EXPECT_EQ(requested(), Names{L"HoardbookVersion"});
        EXPECT_TRUE(boxes.shown.empty());
        EXPECT_EQ(log(), L"");
    }

    // A new version is news again.
    serve(L"HoardbookVersion", L"1.4\r\n");
    serve(L"Hoardbook.toc", L"## Version: 1.4");
    periodicCheck();
    EXPECT_EQ(boxTexts(), std::vector<std::wstring>{L"Hoardbook has been updated to version 1.4"});
    EXPECT_EQ(updater->GetMyVersion(), L"1.4");
}

TEST_F(UpdaterCheck, ABrokenFileListGivesTwoBoxesAtStartupTheFirstFailureAndTheSummary) {
    installVersion("## Version: 1.2\r\n");
    serve(L"HoardbookVersion", L"1.3\r\n");
    serve(L"HoardbookFiles", L"One.lua\r\nTwo.lua\r\nThree.lua\r\nFour.lua\r\nHoardbook.toc\r\n");  // none served

    startupCheck();

    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].text.rfind(L"Error Downloading File: " + kBase + L"One.lua", 0), 0u);
    EXPECT_EQ(boxes.shown[1].text, L"Hoardbook could not be updated to version 1.3: these files failed: \"One.lua\", "
                                   L"\"Two.lua\", \"Three.lua\", \"Four.lua\"");
    for (const wchar_t* later : {L"Two.lua", L"Three.lua", L"Four.lua"}) {
        EXPECT_TRUE(logHas(L"Hoardbook update: the file \"" + std::wstring(later) + L"\" failed")) << later;
    }
}

TEST_F(UpdaterCheck, AnUpdateServedAtFiftyKilobytesASecondCompletesAndKeepsWhatEachCheckInstalled) {
    installVersion("## Version: 1.2\r\n");
    serve(L"HoardbookVersion", L"1.3\r\n");
    serve(L"HoardbookFiles", L"F1.lua\r\nF2.lua\r\nF3.lua\r\nBig.lua\r\nHoardbook.toc\r\n");
    serve(L"Hoardbook.toc", L"## Version: 1.3");
    for (const wchar_t* name : {L"F1.lua", L"F2.lua", L"F3.lua", L"Big.lua"}) {
        FakeResponse& file = server[kBase + name];
        // 600 KB takes 12 s at 50 KB/s; the big one 1.5 MB, 30 s.
        file.body = std::string(std::wstring(name) == L"Big.lua" ? 1536 * 1024 : 600 * 1024, 'f');
        file.bytesPerPoll = 512;
    }

    startupCheck();  // 20 s: the first file, and a second cut short
    EXPECT_TRUE(temp.exists(kAddon / "F1.lua"));
    EXPECT_EQ(updater->GetMyVersion(), L"1.2");

    periodicCheck();
    const Names asked = requested();
    EXPECT_EQ(std::count(asked.begin(), asked.end(), L"F1.lua"), 0) << "kept from the start-up check";
    EXPECT_EQ(temp.read(kAddon / "Big.lua").size(), 1536u * 1024u + 2u) << "longer than a download's bound";
    EXPECT_EQ(updater->GetMyVersion(), L"1.3");
    EXPECT_EQ(boxTexts(), std::vector<std::wstring>{L"Hoardbook has been updated to version 1.3"});
}

class UpdaterInstalledVersion : public UpdaterCheck {};

TEST_F(UpdaterInstalledVersion, ReadsTheFirstVersionLineOfTheTocFile) {
    installVersion("## Title: Hoardbook\r\n## Version: 1.2 \r\n## Version: 9\r\n");
    EXPECT_EQ(updater->GetMyVersion(), L"1.2");
    installVersion("Version:1.2");
    EXPECT_EQ(updater->GetMyVersion(), L"1.2");
    installVersion("## Version:\r\n");
    EXPECT_EQ(updater->GetMyVersion(), L"");
    installVersion("## version: 1.2\r\n");
    EXPECT_EQ(updater->GetMyVersion(), std::nullopt);
    installVersion("");
    EXPECT_EQ(updater->GetMyVersion(), std::nullopt);
}

TEST_F(UpdaterInstalledVersion, ReadsTextInTheAnsiCodePage) {
    installVersion("## Version: 1.2\xE9\r\n");
    EXPECT_EQ(updater->GetMyVersion(), L"1.2\u00E9");
}

TEST_F(UpdaterInstalledVersion, MissingOrUnreadableFileIsNoVersion) {
    EXPECT_EQ(updater->GetMyVersion(), std::nullopt);
    EXPECT_TRUE(std::filesystem::is_directory(temp.path() / kAddon)) << "InitializeFolders runs first";
    std::filesystem::create_directories(temp.path() / kAddon / "Hoardbook.toc");  // a folder cannot be read
    EXPECT_EQ(updater->GetMyVersion(), std::nullopt);
}

}  // namespace
}  // namespace hb::test
