// Start-up over real files: a remembered login with an exclusion file. The
// steps' order matters here: the exclusions must be applied before the
// settings are loaded, because loading a remembered password saves both
// files again, and the cursor is reset only after the automatic login.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "support/FormFixture.h"

namespace hb::test {
namespace {

class StartupWithFiles : public FormFixture {
protected:
    StartupWithFiles() {
        installGame();
        addSavedData("ALPHA", "alpha\r\n");
        addSavedData("BRAVO", "bravo\r\n");
        addSavedData("CHARLIE", "charlie\r\n");
        temp.write(std::filesystem::path("Program") / "noupload.txt", "BRAVO\r\n");
        temp.write(std::filesystem::path("Program") / "settings.txt", "bob\r\nguild.test\r\nsecret\r\n");
        http.responder = [](const RecordedRequest& request) {
            FakeResponse response;
            if (request.method == L"POST") response.text = L"Inventory Uploaded";
            return response;
        };
    }

    // The saved data an entry's folder holds: its name in lower case.
    std::string dataOf(int index) const {
        std::string data;
        for (wchar_t c : window.itemText(index)) data.push_back(static_cast<char>(std::tolower(static_cast<int>(c))));
        return data + "\r\n";
    }
    // The saved data of each upload the site received, in order.
    std::vector<std::string> sentData() const {
        std::vector<std::string> sent;
        for (const auto& request : http.requests) {
            if (request->method != L"POST") continue;
            static const std::string kStart = "Content-Type: text/plain\r\n\r\n";
            static const std::string kEnd = "\r\n--AaB03x--";
            const std::string& body = *request->body;
            const std::size_t start = body.find(kStart) + kStart.size();
            sent.push_back(body.substr(start, body.size() - kEnd.size() - start));
        }
        return sent;
    }
    void tick(int count) {
        for (int i = 0; i < count; ++i) {
            process.nowMs += 5000;
            form->onTimer(Timer::UpdateTimer);
        }
    }

    int indexOf(const std::wstring& text) const {
        for (int i = 0; i < window.itemCount(); ++i) {
            if (window.itemText(i) == text) return i;
        }
        return -1;
    }
};

TEST_F(StartupWithFiles, RememberedLoginKeepsTheExclusionsAndLeavesTheWatcherAtTheStart) {
    addSavedData("DELTA", "delta\r\n");
    form->onLoad();

    ASSERT_EQ(window.itemCount(), 4);
    EXPECT_FALSE(window.itemChecked(indexOf(L"BRAVO")));
    EXPECT_TRUE(window.itemChecked(indexOf(L"ALPHA")));
    EXPECT_TRUE(window.itemChecked(indexOf(L"CHARLIE")));
    EXPECT_EQ(temp.read(std::filesystem::path("Program") / "noupload.txt"), "BRAVO\r\n")
        << "saving the remembered password keeps the exclusions";

    // The automatic login runs before the cursor is reset, so it sends the
    // first checked entry after entry 0.
    int expected = -1;
    for (int i = 1; i < window.itemCount() && expected < 0; ++i) {
        if (window.itemChecked(i)) expected = i;
    }
    if (expected < 0) expected = 0;
    std::vector<std::string> expectedSent{dataOf(expected)};
    ASSERT_EQ(sentData(), expectedSent);
    EXPECT_FALSE(window.visible());
    EXPECT_TRUE(window.timerEnabled(Timer::UpdateTimer));
    EXPECT_TRUE(shell.iconShown);

    // Then the watcher starts before the first entry, with no upload seen:
    // every checked entry goes once, in the list's order from the first.
    for (int i = 0; i < window.itemCount(); ++i) {
        if (window.itemChecked(i)) expectedSent.push_back(dataOf(i));
    }
    tick(5);
    EXPECT_EQ(sentData(), expectedSent);
}

TEST_F(StartupWithFiles, WithoutEntriesTheRememberedLoginSendsNothingAndTheWatcherNothingMore) {
    std::filesystem::remove_all(temp.path() / "Game" / "WTF" / "Account");
    std::filesystem::create_directories(temp.path() / "Game" / "WTF" / "Account");
    form->onLoad();
    EXPECT_EQ(window.itemCount(), 0);
    EXPECT_EQ(sentData(), std::vector<std::string>{""});
    EXPECT_TRUE(window.timerEnabled(Timer::UpdateTimer));
    tick(3);
    EXPECT_EQ(sentData(), std::vector<std::string>{""});
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(StartupWithFiles, AStartWithoutTheAccountTreeKeepsTheExclusionsForWhenItIsBack) {
    // The player renamed WTF to reset the game's interface: no entry is
    // listed, and the remembered password saves both files at once.
    const auto tree = temp.path() / "Game" / "WTF";
    const auto aside = temp.path() / "Game" / "WTF.old";
    std::filesystem::rename(tree, aside);
    form->onLoad();
    EXPECT_EQ(window.itemCount(), 0);
    EXPECT_EQ(temp.read(std::filesystem::path("Program") / "noupload.txt"), "BRAVO\r\n");

    // The game makes its folders again; the next start.
    std::filesystem::rename(aside, tree);
    window = FakeWindow();
    http.requests.clear();
    makeForm();
    form->onLoad();
    ASSERT_EQ(window.itemCount(), 3);
    EXPECT_FALSE(window.itemChecked(indexOf(L"BRAVO")));
    for (const auto& request : http.requests) {
        if (request->body) {
            EXPECT_EQ(request->body->find("bravo"), std::string::npos) << "an excluded entry was sent";
        }
    }
    EXPECT_EQ(temp.read(std::filesystem::path("Program") / "noupload.txt"), "BRAVO\r\n");
}

}  // namespace
}  // namespace hb::test
