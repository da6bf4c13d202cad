// Opening a web page in the browser associated with ".htm" files.

#include <gtest/gtest.h>

#include <filesystem>

#include "base/GotoURL.h"
#include "fakes/FakeMessageBoxes.h"
#include "fakes/FakeProcess.h"
#include "fakes/FakeShell.h"
#include "support/TempFolder.h"

namespace hb::test {
namespace {

const std::string kScratch = "\"<HTML> <\\HTML>\"\r\n";

class GotoUrl : public ::testing::Test {
protected:
    bool open(const std::wstring& address) { return OpenInBrowser({shell, *files, boxes, temp.corePath()}, address); }

    TempFolder temp;
    std::unique_ptr<FileSystem> files = MakeRealFileSystem();
    FakeShell shell;
    FakeMessageBoxes boxes;
};

TEST_F(GotoUrl, StartsTheBrowserWithTheAddressAsItsCommandLine) {
    const std::wstring address = L"http://example.test/a page?x=1&y=\"2\"";
    EXPECT_TRUE(open(address));
    ASSERT_EQ(shell.lookedUp, std::vector<std::wstring>{L"temp.htm"});
    EXPECT_EQ(shell.lookedUpIn, std::vector<std::wstring>{temp.corePath()}) << "where the scratch file is";
    ASSERT_EQ(shell.executed.size(), 1u);
    EXPECT_EQ(shell.executed[0].operation, L"open");
    EXPECT_EQ(shell.executed[0].file, L"C:\\Browser\\browser.exe");
    EXPECT_EQ(shell.executed[0].parameters, address) << "passed exactly, not quoted";
    EXPECT_EQ(shell.executed[0].directory, L"");
    EXPECT_EQ(shell.executed[0].showCommand, 1);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(GotoUrl, WritesTheEighteenByteScratchFileEveryTime) {
    ASSERT_EQ(kScratch.size(), 18u);
    temp.write("temp.htm", std::string(100, 'x'));
    open(L"http://a.test/");
    EXPECT_EQ(temp.read("temp.htm"), kScratch);
    shell.browserPath.clear();
    open(L"http://a.test/");
    EXPECT_EQ(temp.read("temp.htm"), kScratch) << "written whether or not a browser is found";
}

TEST_F(GotoUrl, TrimsBlanksAroundTheBrowserPath) {
    shell.browserPath = L"  C:\\Users\\\u0141ukasz\\AppData\\Local\\Web Browser\\browser.exe  ";
    open(L"http://a.test/");
    ASSERT_EQ(shell.executed.size(), 1u);
    EXPECT_EQ(shell.executed[0].file, L"C:\\Users\\\u0141ukasz\\AppData\\Local\\Web Browser\\browser.exe");
}

TEST_F(GotoUrl, WithoutABrowserSaysSoOnceAndStartsNothing) {
    shell.browserPath.clear();
    EXPECT_TRUE(open(L"http://a.test/"));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, L"Browser Not Found");
    EXPECT_EQ(boxes.shown[0].text, L"Could not find associated Browser");
    EXPECT_EQ(boxes.shown[0].icon, BoxIcon::Exclamation);
    EXPECT_EQ(boxes.shown[0].buttons, BoxButtons::Ok);
    EXPECT_TRUE(shell.executed.empty());
}

TEST_F(GotoUrl, AnUnwritableScratchFileEndsTheAttemptQuietly) {
    std::filesystem::create_directory(temp.path() / "temp.htm");
    EXPECT_FALSE(open(L"http://a.test/"));
    EXPECT_TRUE(shell.lookedUp.empty());
    EXPECT_TRUE(shell.executed.empty());
    EXPECT_TRUE(boxes.shown.empty());
}

}  // namespace
}  // namespace hb::test
