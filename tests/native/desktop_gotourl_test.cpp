// Opening a web page in the browser associated with ".htm" files.

#include <gtest/gtest.h>

#include <filesystem>

#include "desktop/GotoURL.h"
#include "fakes/FakeMessageBoxes.h"
#include "fakes/FakeProcess.h"
#include "fakes/FakeShell.h"
#include "support/TempFolder.h"

namespace hb::test {
namespace {

const std::string kScratch = "\"<HTML> <\\HTML>\"\r\n";

class GotoUrl : public ::testing::Test {
protected:
    bool open(const std::string& address) {
        return OpenInBrowser({shell, *files, boxes, codepage, temp.corePath()}, address);
    }

    TempFolder temp;
    std::unique_ptr<FileSystem> files = MakeRealFileSystem();
    FakeShell shell;
    FakeMessageBoxes boxes;
    Latin1Codepage codepage;
};

TEST_F(GotoUrl, StartsTheBrowserWithTheAddressAsItsCommandLine) {
    const std::string address = "http://example.test/a page?x=1&y=\"2\"";
    EXPECT_TRUE(open(address));
    ASSERT_EQ(shell.lookedUp, std::vector<std::string>{"temp.htm"});
    ASSERT_EQ(shell.executed.size(), 1u);
    EXPECT_EQ(shell.executed[0].operation, "open");
    EXPECT_EQ(shell.executed[0].file, "C:\\Browser\\browser.exe");
    EXPECT_EQ(shell.executed[0].parameters, address) << "passed exactly, not quoted";
    EXPECT_EQ(shell.executed[0].directory, "");
    EXPECT_EQ(shell.executed[0].showCommand, 1);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(GotoUrl, WritesTheEighteenByteScratchFileEveryTime) {
    ASSERT_EQ(kScratch.size(), 18u);
    temp.write("temp.htm", std::string(100, 'x'));
    open("http://a.test/");
    EXPECT_EQ(temp.read("temp.htm"), kScratch);
    shell.browserPath.clear();
    open("http://a.test/");
    EXPECT_EQ(temp.read("temp.htm"), kScratch) << "written whether or not a browser is found";
}

TEST_F(GotoUrl, TrimsBlanksAroundTheBrowserPath) {
    shell.browserPath = "  C:\\Program Files\\Web Browser\\browser.exe  ";
    open("http://a.test/");
    ASSERT_EQ(shell.executed.size(), 1u);
    EXPECT_EQ(shell.executed[0].file, "C:\\Program Files\\Web Browser\\browser.exe");
}

TEST_F(GotoUrl, WithoutABrowserSaysSoOnceAndStartsNothing) {
    shell.browserPath.clear();
    EXPECT_TRUE(open("http://a.test/"));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, L"Browser Not Found");
    EXPECT_EQ(boxes.shown[0].text, L"Could not find associated Browser");
    EXPECT_EQ(boxes.shown[0].icon, BoxIcon::Exclamation);
    EXPECT_EQ(boxes.shown[0].buttons, BoxButtons::Ok);
    EXPECT_TRUE(shell.executed.empty());
}

TEST_F(GotoUrl, AnUnwritableScratchFileEndsTheAttemptQuietly) {
    std::filesystem::create_directory(temp.path() / "temp.htm");
    EXPECT_FALSE(open("http://a.test/"));
    EXPECT_TRUE(shell.lookedUp.empty());
    EXPECT_TRUE(shell.executed.empty());
    EXPECT_TRUE(boxes.shown.empty());
}

}  // namespace
}  // namespace hb::test
