// The login and the change watcher built alone, around the session the
// login makes: only a login the site accepted makes one, Log Out ends it,
// and the watcher uploads with it and with nothing else. Each entry keeps
// its own last upload, however the list grows around it.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "fakes/FakeProgramExit.h"
#include "gamedata/CharacterScan.h"
#include "gamedata/EntryList.h"
#include "gamedata/GameFolders.h"
#include "gamedata/ListCursor.h"
#include "gamedata/SavedDataFiles.h"
#include "net/Transfers.h"
#include "settings/SettingsLocation.h"
#include "settings/SettingsStore.h"
#include "support/FormFixture.h"
#include "uploads/ChangeWatcher.h"
#include "uploads/Login.h"
#include "uploads/Session.h"

namespace hb::test {
namespace {

using Strings = std::vector<std::string>;

// The settings' check box asks nothing here: no form behind the window.
class NoEvents : public FormEvents {
public:
    void onLoad() override {}
    void onResize() override {}
    void onCloseRequest(bool&) override {}
    void onClick(Control) override {}
    void onGotFocus(Control) override {}
    void onChange(Control) override {}
    void onTimer(Timer) override {}
};

class Session : public PortsFixture {
protected:
    Session() {
        installGame();
        window.setText(Control::URL, L"guild.example");
        window.setText(Control::Login, L"bob");
        window.setText(Control::Password, L"secret pass");
        http.responder = [this](const RecordedRequest&) {
            FakeResponse response;
            response.text = siteReply;
            response.pollsUntilDone = pollsUntilDone;
            if (whileUploading) response.whilePolling = whileUploading;
            return response;
        };
    }

    void addEntry(const std::string& name, const std::string& bytes) {
        addSavedData(name, bytes);
        std::filesystem::last_write_time(file(name), kBaseTime);
    }
    void rewrite(const std::string& name, const std::string& bytes) {
        addSavedData(name, bytes);
        std::filesystem::last_write_time(file(name), kBaseTime + std::chrono::hours(1));
    }
    std::filesystem::path file(const std::string& name) const {
        return temp.path() / "Game" / "WTF" / "Account" / name / "SavedVariables" / "Hoardbook.lua";
    }
    // UpdateTimer's ticks, 5 s apart.
    void tick(int count = 1) {
        for (int i = 0; i < count; ++i) {
            process.nowMs += 5000;
            watcher.UpdateTimer_Timer();
        }
    }
    // The file part of every upload the site received, in order.
    Strings uploads() const {
        static const std::string kStart = "Content-Type: text/plain\r\n\r\n";
        static const std::string kEnd = "\r\n--AaB03x--";
        Strings sent;
        for (const auto& request : http.requests) {
            const std::string& body = request->body.value_or("");
            const std::size_t start = body.find(kStart);
            if (start == std::string::npos) continue;
            sent.push_back(body.substr(start + kStart.size(), body.size() - kEnd.size() - start - kStart.size()));
        }
        return sent;
    }
    // The login each upload carried.
    std::vector<bool> sentAsBob() const {
        std::vector<bool> bob;
        for (const auto& request : http.requests) {
            bob.push_back(request->body.value_or("").find("\r\n\r\nbob\r\n") != std::string::npos);
        }
        return bob;
    }

    static inline const std::filesystem::file_time_type kBaseTime =
        std::filesystem::file_time_type::clock::now() - std::chrono::hours(24);

    std::wstring siteReply = L"Inventory Uploaded";
    std::function<void()> whileUploading;
    int pollsUntilDone = 1;

    NoEvents events;
    SettingsLocation location{*files, process};
    FakeProgramExit programExit{process};
    hb::GameFolders folders{registry, boxes, programExit, files.get(), &messages};
    Transfers transfers{http, boxes, shell, *files, process, programExit, codepage, messages, 60000};
    SettingsStore settings{window, events, boxes, *files, location, codepage, protection, messages};
    EntryList entries{window};
    ListCursor cursor{entries};
    CharacterScan scan{entries, *files, nullptr, folders, messages};
    SavedDataFiles savedData{entries, *files, folders};
    CurrentSession session;
    hb::Login login{window, boxes, messages, settings, session, entries, cursor, savedData, transfers, process};
    ChangeWatcher watcher{window, *files, boxes,    messages,  process,  session,
                          entries, cursor, scan, savedData, transfers, settings};
};

TEST_F(Session, OnlyALoginTheSiteAcceptedMakesOne) {
    addEntry("A", "a\r\n");
    scan.LoadfilesFromHardDrive();
    siteReply = L"Invalid Login/Password";
    EXPECT_FALSE(login.Command1_Click());
    EXPECT_FALSE(login.loggedIn());
    tick(3);
    EXPECT_EQ(uploads(), Strings{"a\r\n"}) << "the watcher has no session to upload with";

    siteReply = L"Inventory Uploaded";
    EXPECT_TRUE(login.Command1_Click());
    EXPECT_TRUE(login.loggedIn());
    tick();
    EXPECT_EQ(uploads(), (Strings{"a\r\n", "a\r\n", "a\r\n"}));
}

TEST_F(Session, LogOutEndsItSoNothingIsUploadedAfterwards) {
    addEntry("A", "a\r\n");
    addEntry("B", "b\r\n");
    scan.LoadfilesFromHardDrive();
    ASSERT_TRUE(login.Command1_Click());
    tick(3);
    const std::size_t sent = uploads().size();

    login.Command3_Click();
    EXPECT_FALSE(login.loggedIn());
    rewrite("A", "a2\r\n");
    tick(4);
    EXPECT_EQ(uploads().size(), sent);
}

TEST_F(Session, LogOutWhileTheLoginWaitsLeavesNoSessionWhateverTheSiteSays) {
    addEntry("A", "a\r\n");
    scan.LoadfilesFromHardDrive();
    // The site takes it, but only after the click.
    pollsUntilDone = 50;
    whileUploading = [&] {
        whileUploading = nullptr;
        pollsUntilDone = 1;
        login.Command3_Click();
    };
    EXPECT_FALSE(login.Command1_Click());
    EXPECT_FALSE(login.loggedIn());
    tick(3);
    EXPECT_EQ(uploads().size(), 1u) << "only the login's own upload";
}

TEST_F(Session, TheWatcherUploadsWithTheLoginTheSiteAcceptedNotWithTheFieldsText) {
    addEntry("A", "a\r\n");
    scan.LoadfilesFromHardDrive();
    ASSERT_TRUE(login.Command1_Click());
    // The fields only show the session: what they hold later is not sent.
    window.setText(Control::Login, L"mallory");
    window.setText(Control::URL, L"elsewhere.example");
    tick();
    ASSERT_EQ(http.requests.size(), 2u);
    EXPECT_EQ(sentAsBob(), (std::vector<bool>{true, true}));
    EXPECT_EQ(http.requests[1]->url, L"http://guild.example/memberbankupload.php");
}

TEST_F(Session, EachEntryKeepsItsLastUploadWhileTheListGrowsAroundIt) {
    addEntry("A", "a\r\n");
    addEntry("B", "b\r\n");
    scan.LoadfilesFromHardDrive();
    ASSERT_TRUE(login.Command1_Click());
    tick(3);
    ASSERT_EQ(uploads().size(), 3u) << "the login's entry, then each entry once";

    // Two more at once, found by the tick's own walk: each goes once, and
    // the entries uploaded before are not sent again.
    addEntry("C", "c\r\n");
    addEntry("D", "d\r\n");
    tick(4);
    Strings sent = uploads();
    ASSERT_EQ(sent.size(), 5u);
    EXPECT_EQ(std::set<std::string>(sent.begin() + 3, sent.end()), (std::set<std::string>{"c\r\n", "d\r\n"}));

    // A rewrite of an entry listed before the list grew is that entry's.
    rewrite("B", "b2\r\n");
    tick(3);
    sent = uploads();
    ASSERT_EQ(sent.size(), 6u);
    EXPECT_EQ(sent.back(), "b2\r\n");
}

}  // namespace
}  // namespace hb::test
